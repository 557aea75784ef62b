// The client over https, against the test's own certificate authority: what it trusts, what
// it refuses and says why, and that nothing reaches a server it refuses.
#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <QElapsedTimer>
#include <cstdlib>
#include <memory>

#include "HttpClient.h"
#include "ScriptedHttpServer.h"
#include "TestCertificates.h"
#include "TlsRelay.h"
#include "TransferFailure.h"

namespace {

using Reply = ScriptedHttpServer::Reply;

// Where the client finds the test authority: the file SSL_CERT_FILE names, the hashed folder
// SSL_CERT_DIR names, or nowhere, the system's own store lacking it.
enum class Store { File, Folder, System };

// Well under the client's read time-out, which a broken client would wait out instead.
constexpr qint64 kPromptMs = 2000;

class HttpsTest : public ::testing::Test {
  protected:
    // Made once: every test serves the same certificates.
    static void SetUpTestSuite() { certificates = std::make_unique<TestCertificates>(); }
    static void TearDownTestSuite() { certificates.reset(); }

    void SetUp() override {
        client.SetReadTimeout(5000);
        Trust(Store::File);
    }
    void TearDown() override { Trust(Store::System); }

    static void Trust(Store store) {
        unsetenv("SSL_CERT_FILE");
        unsetenv("SSL_CERT_DIR");
        if (store == Store::File) setenv("SSL_CERT_FILE", certificates->AuthorityFile().c_str(), 1);
        if (store == Store::Folder)
            setenv("SSL_CERT_DIR", certificates->AuthorityFolder().c_str(), 1);
    }

    // The client's Post, timed.
    std::optional<std::string> TimedPost(const std::string& url, const std::string& body,
                                         qint64& ms) {
        QElapsedTimer timer;
        timer.start();
        auto reply = client.Post(url, "multipart/form-data; boundary=xyz", body,
                                 {"X-Test-Signature: 0123abcd"});
        ms = timer.elapsed();
        return reply;
    }

    static inline std::unique_ptr<TestCertificates> certificates;
    ScriptedHttpServer backend;
    HttpClient client;
};

TEST_F(HttpsTest, ATrustedSiteGetsTheRequestsAndRepliesByteForByte) {
    const struct {
        Store store;
        std::string host;
    } cases[] = {{Store::File, "127.0.0.1"}, {Store::Folder, "localhost"}};
    // Longer than one TLS record, with every byte value.
    std::string large;
    for (int i = 0; i < 100000; ++i) large += static_cast<char>(i * 7);
    const std::string form = std::string("a\0b\xff\r\n--xyz", 12);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host);
        Trust(c.store);
        const TlsRelay relay(certificates->Site(), backend.Port());
        const std::string site = "https://" + c.host + ":" + std::to_string(relay.Port());
        const size_t before = backend.RequestCount();
        backend.PushBody(large);
        backend.PushBody("posted");

        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(client.Get(site + "/dir/page.php"), large);
        EXPECT_LT(timer.elapsed(), kPromptMs);
        qint64 ms = 0;
        EXPECT_EQ(TimedPost(site + "/qlspactions.php", form, ms), "posted");
        EXPECT_LT(ms, kPromptMs);
        EXPECT_EQ(client.LastFailure().reason, "");

        const auto requests = backend.Requests();
        ASSERT_EQ(requests.size(), before + 2);
        const auto& get = requests[before];
        const auto& post = requests[before + 1];
        EXPECT_EQ(get.requestLine, "GET /dir/page.php HTTP/1.1");
        EXPECT_EQ(get.Header("Host"), c.host + ":" + std::to_string(relay.Port()));
        EXPECT_EQ(post.requestLine, "POST /qlspactions.php HTTP/1.0");
        EXPECT_EQ(post.Header("X-Test-Signature"), "0123abcd");
        EXPECT_EQ(post.Header("Content-Type"), "multipart/form-data; boundary=xyz");
        EXPECT_EQ(post.body, form);
    }

    // A refusal comes through whole, for the caller to tell the owner.
    const TlsRelay relay(certificates->Site(), backend.Port());
    Reply refused;
    refused.status = 403;
    refused.reason = "Forbidden";
    refused.headers = {"Date: Tue, 10 Dec 2024 10:00:00 GMT"};
    refused.body = "UNSIGNED";
    backend.Push(refused);
    EXPECT_EQ(client.Get(relay.Url("/qlspactions.php")), std::nullopt);
    EXPECT_EQ(client.LastFailure().status, 403);
    EXPECT_EQ(client.LastFailure().body, "UNSIGNED");
    EXPECT_EQ(client.LastFailure().date, "Tue, 10 Dec 2024 10:00:00 GMT");
    EXPECT_EQ(client.LastFailure().reason, "");
}

TEST_F(HttpsTest, ASiteThatCannotProveItselfGetsNothingAndTheOwnerLearnsWhy) {
    const struct {
        const char* what;
        const CertificateFiles& certificate;
        Store store;
        int newestVersion;
        std::string reason;
    } cases[] = {
        {"self-signed", certificates->SelfSigned(), Store::File, 0, kUntrustedCertificate},
        {"an authority the system does not know", certificates->Site(), Store::System, 0,
         kUntrustedCertificate},
        {"another host's", certificates->OtherHost(), Store::File, 0, kCertificateNamesAnotherHost},
        {"another host's, the authority in a folder", certificates->OtherHost(), Store::Folder, 0,
         kCertificateNamesAnotherHost},
        {"TLS 1.1 at most", certificates->Site(), Store::File, TLS1_1_VERSION, kNoSecureConnection},
    };
    const TlsRelay trusted(certificates->Site(), backend.Port());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Trust(c.store);
        const TlsRelay relay(c.certificate, backend.Port(), c.newestVersion);
        const size_t before = backend.RequestCount();
        qint64 ms = 0;
        EXPECT_EQ(TimedPost(relay.Url("/qlspactions.php"), "action=2", ms), std::nullopt);
        EXPECT_LT(ms, kPromptMs);
        EXPECT_EQ(client.LastFailure().reason, c.reason);
        EXPECT_EQ(client.LastFailure().status, 0);
        EXPECT_EQ(client.Get(relay.Url("/")), std::nullopt);
        EXPECT_EQ(client.LastFailure().reason, c.reason);
        EXPECT_EQ(backend.RequestCount(), before);

        // The reason belongs to that request alone.
        Trust(Store::File);
        backend.PushBody("OK");
        EXPECT_EQ(client.Get(trusted.Url("/")), "OK");
        EXPECT_EQ(client.LastFailure().reason, "");
        EXPECT_EQ(backend.RequestCount(), before + 1);
    }
}

// A site that moved to https still gets the form; one that sends the client from https back
// to plain http gets nothing more.
TEST_F(HttpsTest, RedirectsMayOnlyMakeTheConnectionSecure) {
    ScriptedHttpServer plain;
    const TlsRelay relay(certificates->Site(), backend.Port());
    const struct {
        const char* what;
        std::string start;
        ScriptedHttpServer& origin;
        std::string moved;
        ScriptedHttpServer& target;
        bool arrives;
    } cases[] = {
        {"http to https", plain.Url("/form"), plain, relay.Url("/moved"), backend, true},
        {"https to http", relay.Url("/form"), backend, plain.Url("/moved"), plain, false},
    };
    const std::string form = "--xyz\r\nfields\r\n--xyz--";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = c.target.RequestCount();
        // 307 keeps the method and the body, as a moved site wants the form itself.
        c.origin.Push(ScriptedHttpServer::Redirect(c.moved, 307));
        c.target.PushBody("arrived");
        qint64 ms = 0;
        const auto reply = TimedPost(c.start, form, ms);
        EXPECT_LT(ms, kPromptMs);
        EXPECT_EQ(reply, c.arrives ? std::optional<std::string>("arrived") : std::nullopt);
        EXPECT_EQ(client.LastFailure().reason, c.arrives ? "" : kInsecureRedirect);
        const auto requests = c.target.Requests();
        ASSERT_EQ(requests.size(), before + (c.arrives ? 1 : 0));
        if (!c.arrives) continue;
        EXPECT_EQ(requests.back().requestLine, "POST /moved HTTP/1.0");
        EXPECT_EQ(requests.back().body, form);
    }
}

}  // namespace
