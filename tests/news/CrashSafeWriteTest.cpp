// Every file the program rewrites, with the write failed at each step: a folder that refuses
// new files, a disk that fills after N bytes, and a kill at any moment. The old file must stay
// whole or the new one be complete, never half of either, and the brand profile's plain text
// must never reach the disk.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>

#include "AppDir.h"
#include "HttpClient.h"
#include "LastNewsId.h"
#include "ProtectFile.h"
#include "ProtectedBytes.h"
#include "ScriptedHttpServer.h"
#include "ServerScript.h"
#include "SiteSettings.h"
#include "TestDir.h"
#include "UpdateCheck.h"

namespace {

const std::string kPlainMarker = "<%%ApplicationName%%>Brand<%%/ApplicationName%%>";

// One rewrite: the file it replaces, what it writes (`n` varies the content), and whether a
// file's bytes are a complete old or new version.
struct Rewrite {
    const char* file;
    std::string old;
    std::function<void(int n)> write;
    std::function<bool(const std::string& bytes)> whole;
};

std::vector<Rewrite> Rewrites() {
    const auto settings = [](int n) {
        SiteSettings s;
        // Odd rounds write large files, even ones small files, which pass through a buffer.
        const size_t pad = n % 2 ? 20000 : 0;
        s.webserver = "http://site" + std::to_string(n) + ".example/" + std::string(pad, 'w');
        s.dbpassword = std::string(pad, 'p');
        return s;
    };
    return {
        {"qlspsettings.dat", "[Settings]\r\nwebserver=http://old.example\r\n",
         [=](int n) { SaveSiteSettings(settings(n)); },
         // The width is the last key written: with it, the file is complete.
         [](const std::string& b) {
             return b == "[Settings]\r\nwebserver=http://old.example\r\n" ||
                    b.find("adswidth=500px") != std::string::npos;
         }},
        {"qlspsettings.php", "<?php\r\n  $hostname=\"old\";\r\n?>\r\n",
         [=](int n) { WriteServerSettingsScript(settings(n)); },
         [](const std::string& b) {
             // The old script and every new one open and close the PHP block.
             return b.rfind("<?php\r\n", 0) == 0 && b.size() >= 11 &&
                    b.substr(b.size() - 4) == "?>\r\n";
         }},
        {"dbsettings.dat", ProtectedBytes(kPlainMarker + "\r\n" + std::string(30000, 'p') + "\r\n"),
         [](int n) {
             const std::string path = AppFilePath("dbsettings.dat");
             WriteLastNewsId(path, path, std::to_string(n));
         },
         [](const std::string& b) {
             const std::string path =
                 QDir::tempPath().toStdString() + "/quillspot-check-" + std::to_string(getpid());
             std::ofstream(path, std::ios::binary) << b;
             const PlainText plain = DecryptProtectedFile(path);
             std::remove(path.c_str());
             return plain.authentic && plain.bytes.rfind(kPlainMarker, 0) == 0;
         }},
    };
}

// Runs `body` in a child process and returns its exit status; the child's own limits and
// mounts end with it.
int InChild(const std::function<void()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

// Why the kernel refuses this process a user namespace (many containers and chroots do), or
// empty when it allows one. Tried in a child, which leaves this process as it was.
std::string UserNamespaceRefusal() {
    const int status =
        InChild([] { _exit(unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 ? 0 : errno); });
    return WEXITSTATUS(status) == 0 ? "" : strerror(WEXITSTATUS(status));
}

// The folder refuses new files: a read-only bind mount of it, in a mount namespace of the
// child's own (a user namespace lets even root be refused).
void RefuseFolder(const std::string& folder) {
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) _exit(10);
    std::ofstream("/proc/self/setgroups") << "deny";
    std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
    std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    if (mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        _exit(11);
}

void ExpectNoPlainCopy(const TestDir& dir) {
    for (const QString& name :
         QDir(QString::fromStdString(dir.Path(""))).entryList(QDir::Files | QDir::Hidden))
        EXPECT_EQ(dir.Read(name.toStdString()).find(kPlainMarker), std::string::npos)
            << name.toStdString();
}

TEST(CrashSafeWrite, ARefusedFolderKeepsTheOldFile) {
    const std::string refusal = UserNamespaceRefusal();
    if (!refusal.empty())
        GTEST_SKIP() << "needs user namespaces, which this machine refuses (" << refusal << ")";
    for (const Rewrite& r : Rewrites()) {
        SCOPED_TRACE(r.file);
        TestDir dir;
        dir.Write(r.file, r.old);
        // The write fails and the old file stays.
        EXPECT_EQ(InChild([&] {
                      RefuseFolder(dir.Path(""));
                      try {
                          r.write(1);
                      } catch (const std::exception&) {
                          _exit(0);
                      }
                      _exit(1);
                  }),
                  0);
        EXPECT_EQ(dir.Read(r.file), r.old);
        ExpectNoPlainCopy(dir);
    }
}

TEST(CrashSafeWrite, FullDiskAndKillLeaveAWholeFile) {
    std::mt19937 random(7);
    for (const Rewrite& r : Rewrites()) {
        SCOPED_TRACE(r.file);
        TestDir dir;
        dir.Write(r.file, r.old);
        // A disk that fills after N bytes: each write fails part-way and the old file stays.
        for (const auto& [n, limit] : {std::pair{2, rlim_t{0}},
                                       {2, rlim_t{1}},
                                       {2, rlim_t{64}},
                                       {3, rlim_t{4096}},
                                       {3, rlim_t{20000}}}) {
            EXPECT_EQ(InChild([&] {
                          signal(SIGXFSZ, SIG_IGN);
                          const rlimit cap{limit, limit};
                          setrlimit(RLIMIT_FSIZE, &cap);
                          try {
                              r.write(n);
                          } catch (const std::exception&) {
                              _exit(0);
                          }
                          _exit(1);
                      }),
                      0)
                << limit;
            EXPECT_EQ(dir.Read(r.file), r.old) << limit;
        }
        // Killed at any moment while rewriting over and over.
        for (int round = 0; round < 15; ++round) {
            const pid_t pid = fork();
            if (pid == 0) {
                for (int n = 0;; ++n) r.write(n);
            }
            usleep(std::uniform_int_distribution<int>(0, 30000)(random));
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            EXPECT_TRUE(r.whole(dir.Read(r.file))) << "round " << round;
        }
        ExpectNoPlainCopy(dir);
    }
}

// The update download: after any failure no file is left, not even part of one.
TEST(CrashSafeWrite, AFailedDownloadLeavesNoFile) {
    TestDir dir;
    ScriptedHttpServer server;
    HttpClient client;
    client.SetReadTimeout(5000);
    for (const rlim_t limit : {rlim_t{0}, rlim_t{100}, rlim_t{60000}}) {
        server.PushBody("[APPLICATION]\r\nVersion=3.0\r\n" + std::string(100000, ';'));
        dir.Write("mainappupdate.inf", "old");
        signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit cap{limit, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &cap);
        const bool done =
            DownloadToFile(client, server.Url("/mainappupdate.inf"), dir.Path("mainappupdate.inf"));
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, SIG_DFL);
        EXPECT_FALSE(done) << limit;
        EXPECT_FALSE(dir.Exists("mainappupdate.inf")) << limit;
    }
}

}  // namespace
