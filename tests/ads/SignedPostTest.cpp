// The owner's posts carry a signature the actions script can check, and the script's
// refusals of it reach the owner as a remedy.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRegularExpression>

#include "AdListModel.h"
#include "AdService.h"
#include "HttpClient.h"
#include "ScriptedHttpServer.h"
#include "SiteSettings.h"

namespace {

using Reply = ScriptedHttpServer::Reply;

constexpr const char* kKey = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
// The program's clock; the scripted server's Date headers are an hour ahead of it.
const QDateTime kNow = QDateTime::fromString("2026-12-09T10:00:00Z", Qt::ISODate);
constexpr const char* kServerDate = "Wed, 09 Dec 2026 11:00:00 GMT";

Reply Refusal(const std::string& text, bool dated = true) {
    Reply reply;
    reply.status = 403;
    reply.reason = "Forbidden";
    reply.body = text + "\n";
    if (dated) reply.headers = {std::string("Date: ") + kServerDate};
    return reply;
}

struct Signed {
    qint64 time = 0;
    std::string nonce;
    bool sound = false;  // the MAC matches the request's body under the key
};

Signed ReadSignature(const ScriptedHttpServer::Request& request) {
    const QRegularExpression form("^t=([0-9]+),n=([0-9a-f]{32}),v1=([0-9a-f]{64})$");
    const auto match = form.match(QString::fromStdString(request.Header("X-Quillspot-Signature")));
    if (!match.hasMatch()) return {};
    Signed read{match.captured(1).toLongLong(), match.captured(2).toStdString()};
    const QByteArray message = "qlsp-v1\n" + match.captured(1).toLatin1() + "\n" +
                               match.captured(2).toLatin1() + "\n" +
                               QByteArray::fromStdString(request.body);
    read.sound = QMessageAuthenticationCode::hash(message, QByteArray::fromHex(kKey),
                                                  QCryptographicHash::Sha256)
                     .toHex() == match.captured(3).toLatin1();
    return read;
}

class SignedPostTest : public ::testing::Test {
  protected:
    SignedPostTest() {
        settings.webserver = server.Url();
        settings.actionsscript = kActionsScript;
        settings.ownerkey = kKey;
        client.SetReadTimeout(5000);
    }

    ScriptedHttpServer server;
    HttpClient client;
    SiteSettings settings;
    AdService service{client, settings.webserver, settings.actionsscript, settings.ownerkey,
                      [] { return kNow; }};
};

TEST_F(SignedPostTest, EveryPostIsSignedOverItsExactBodyWithAFreshNonce) {
    server.PushBody("OK");
    server.PushBody("reply to the GET");
    server.PushBody("OK");
    ASSERT_TRUE(service.CheckService());
    AdRecord ad{"", "T\xe9 \"x\"", "", "", "a\r\nb", "", "0", "0", "1"};
    ASSERT_EQ(service.AddAd(ad), AdService::kDone);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    const Signed check = ReadSignature(requests[0]), add = ReadSignature(requests[2]);
    EXPECT_TRUE(check.sound);
    EXPECT_TRUE(add.sound);
    EXPECT_EQ(check.time, kNow.toSecsSinceEpoch());
    EXPECT_NE(check.nonce, add.nonce);
    // The GET before an add carries no form, so nothing to sign.
    EXPECT_FALSE(requests[1].HasHeader("X-Quillspot-Signature"));
    for (const auto& request : requests) EXPECT_EQ(request.head.find(kKey), std::string::npos);
}

TEST_F(SignedPostTest, WithoutASoundKeyPostsGoUnsigned) {
    for (const std::string& key : {std::string(), std::string("00112233"), std::string(64, 'g')}) {
        settings.ownerkey = key;
        server.PushBody("OK");
        EXPECT_TRUE(service.CheckService());
        EXPECT_FALSE(server.Requests().back().HasHeader("X-Quillspot-Signature")) << key;
    }
}

TEST_F(SignedPostTest, AStaleSignatureIsMadeOnceMoreByTheServersClock) {
    const struct {
        std::vector<Reply> replies;
        bool done;
        size_t posts;
        AdService::Refusal refusal;
    } cases[] = {
        {{Refusal("STALE SIGNATURE"), Reply{200, "OK", {}, "OK"}},
         true,
         2,
         AdService::Refusal::kNone},
        {{Refusal("STALE SIGNATURE"), Refusal("STALE SIGNATURE")},
         false,
         2,
         AdService::Refusal::kStaleSignature},
        // Without the server's time there is nothing to sign by.
        {{Refusal("STALE SIGNATURE", false)}, false, 1, AdService::Refusal::kStaleSignature},
        {{Refusal("BAD SIGNATURE")}, false, 1, AdService::Refusal::kBadSignature},
    };
    for (const auto& c : cases) {
        ScriptedHttpServer site;
        settings.webserver = site.Url();
        for (const Reply& reply : c.replies) site.Push(reply);
        EXPECT_EQ(service.CheckService(), c.done);
        EXPECT_EQ(service.LastRefusal(), c.refusal);
        const auto requests = site.Requests();
        ASSERT_EQ(requests.size(), c.posts);
        if (c.posts == 2) {
            const Signed first = ReadSignature(requests[0]), second = ReadSignature(requests[1]);
            EXPECT_TRUE(second.sound);
            EXPECT_NE(first.nonce, second.nonce);
            EXPECT_EQ(second.time, kNow.toSecsSinceEpoch() + 3600);
        }
    }
    // The server's time stays for the rest of the run.
    server.PushBody("OK");
    settings.webserver = server.Url();
    EXPECT_TRUE(service.CheckService());
    EXPECT_EQ(ReadSignature(server.Requests().back()).time, kNow.toSecsSinceEpoch() + 3600);
}

TEST_F(SignedPostTest, OnlyTheScriptsFourRefusalsTellTheOwnerARemedy) {
    const std::string usual = "There is a trouble loading polls.";
    Reply elsewhere = Refusal("BAD SIGNATURE");
    elsewhere.status = 500;
    const struct {
        Reply reply;
        AdService::Refusal refusal;
        const char* names;  // words the message must hold
    } cases[] = {
        {Refusal("BAD SIGNATURE"), AdService::Refusal::kBadSignature, "is not this program's"},
        {Refusal("REPLAYED SIGNATURE"), AdService::Refusal::kReplayedSignature, "already received"},
        {Refusal("NO OWNER KEY"), AdService::Refusal::kNoOwnerKey, "holds no owner key"},
        {Refusal("FORBIDDEN"), AdService::Refusal::kNone, usual.c_str()},
        {elsewhere, AdService::Refusal::kNone, usual.c_str()},
    };
    for (const auto& c : cases) {
        server.Push(c.reply);
        AdListModel list;
        EXPECT_FALSE(service.LoadAdList(list));
        EXPECT_EQ(service.LastRefusal(), c.refusal);
        EXPECT_NE(service.FailureMessage(usual).find(c.names), std::string::npos)
            << service.FailureMessage(usual);
    }
    // A later success leaves no refusal behind.
    server.PushBody("OK");
    EXPECT_TRUE(service.CheckService());
    EXPECT_EQ(service.FailureMessage(usual), usual);
}

}  // namespace
