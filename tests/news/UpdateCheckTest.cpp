// The update check against a scripted update server, in a temporary program folder.
#include <gtest/gtest.h>

#include "HttpClient.h"
#include "LocalPort.h"
#include "MessageRecorder.h"
#include "ScriptedHttpServer.h"
#include "ShellRecorder.h"
#include "TestDir.h"
#include "UpdateCheck.h"

namespace {

const std::string kNoUpdate = "information:There's no new updates for this application!";
const std::string kMissing =
    "warning:The updater module is missing. Please reinstall again the current version!";
const std::string kClose =
    "confirm:To update your software the application will close to\n\rreplace some files. Do "
    "you want to update now?";
std::string Offer(const std::string& version) {
    return "confirm:There is a new update: (version " + version +
           ") available for your application!. Do you want download this update now?";
}
std::string Description(const std::string& version) {
    return "[APPLICATION]\r\nName=Quillspot\r\nVersion=" + version + "\r\n";
}

TEST(UpdateCheck, OutcomesFromTheServerAndTheOwner) {
    const std::string kUnreachable = "<unreachable>", k404 = "<404>";
    const struct {
        std::string reply;
        bool silent;
        std::deque<bool> answers;
        bool updater, starts;
        std::vector<std::string> shown;
        bool closes;
    } cases[] = {
        {kUnreachable, false, {}, true, true, {kNoUpdate}, false},
        {kUnreachable, true, {}, true, true, {}, false},
        {k404, false, {}, true, true, {kNoUpdate}, false},
        {Description("2.01"), false, {}, true, true, {kNoUpdate}, false},
        {Description("2.0100"), true, {}, true, true, {}, false},
        {"[APPLICATION]\r\nName=Quillspot\r\n", false, {}, true, true, {kNoUpdate}, false},
        {Description("nan"), false, {}, true, true, {kNoUpdate}, false},
        {std::string(10 << 20, '\xFF') + "\0[APPLICATION]", true, {}, true, true, {}, false},
        {Description("2.02"), true, {false}, true, true, {Offer("2.02")}, false},
        {Description(" 2.1000 "), false, {true}, false, true, {Offer("2.1000"), kMissing}, false},
        {Description("2.02"), false, {true, false}, true, true, {Offer("2.02"), kClose}, false},
        {Description("2.02"),
         false,
         {true, true},
         true,
         false,
         {Offer("2.02"), kClose, kMissing},
         false},
        {Description("2.02"), true, {true, true}, true, true, {Offer("2.02"), kClose}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.substr(0, 60));
        TestDir dir;
        dir.Write("mainappupdate.inf", "stale");
        if (c.updater) dir.Write("Updater.exe", "#!/bin/sh\n");
        ScriptedHttpServer server;
        const std::string base =
            c.reply == kUnreachable
                ? "http://127.0.0.1:" + std::to_string(UnusedLocalPort()) + "/u/"
                : server.Url("/liveupdate/qlspot_app/");
        if (c.reply == k404)
            server.Push({.status = 404, .reason = "Not Found", .body = "[APPLICATION]\nVersion=9"});
        else
            server.PushBody(c.reply);
        HttpClient client;
        client.SetReadTimeout(5000);
        MessageRecorder messages;
        messages.answers = c.answers;
        ShellRecorder shell;
        shell.succeed = c.starts;

        EXPECT_EQ(CheckForUpdates(client, messages, shell, base, c.silent), c.closes);
        EXPECT_EQ(messages.KindsAndTexts(), c.shown);
        if (c.reply != kUnreachable) {
            ASSERT_EQ(server.RequestCount(), 1u);
            EXPECT_EQ(server.Requests()[0].requestLine,
                      "GET /liveupdate/qlspot_app/mainappupdate.inf HTTP/1.1");
        }
        const bool downloaded = c.reply.front() != '<';
        EXPECT_EQ(dir.Exists("mainappupdate.inf"), downloaded);
        if (downloaded) {
            EXPECT_EQ(dir.Read("mainappupdate.inf"), c.reply);
        }
        const bool started =
            c.shown.size() >= 2 && c.shown[1] == kClose && c.answers.size() == 2 && c.answers[1];
        ASSERT_EQ(shell.started.size(), started ? 1u : 0u);
        if (started) {
            EXPECT_EQ(shell.started[0].program, dir.Path("Updater.exe"));
            EXPECT_EQ(shell.started[0].arguments, (std::vector<std::string>{base, "2.01", "A"}));
        }
    }
}

}  // namespace
