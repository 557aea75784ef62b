#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <cstdarg>
#include <cstdlib>

#include "CurlLibrary.h"
#include "CurlSession.h"
#include "HttpClient.h"
#include "LocalPort.h"
#include "RequestBytes.h"
#include "ScriptedHttpServer.h"

namespace {

using Reply = ScriptedHttpServer::Reply;

class HttpClientTest : public ::testing::Test {
  protected:
    // No test may hang for long even when the client is broken.
    void SetUp() override { client.SetReadTimeout(5000); }

    ScriptedHttpServer server;
    HttpClient client;
};

TEST_F(HttpClientTest, GetSendsTheClientHeadersOverHttp11) {
    server.PushBody("hello");
    EXPECT_EQ(client.Get(server.Url("/dir/page.php")), "hello");
    ASSERT_EQ(server.RequestCount(), 1u);
    const auto request = server.Requests()[0];
    EXPECT_EQ(request.requestLine, "GET /dir/page.php HTTP/1.1");
    EXPECT_EQ(SortedHeaders(request), Sorted({HostHeader(server), kUserAgentHeader, kAcceptHeader,
                                              "Content-Type: text/html"}));
    EXPECT_EQ(request.body, "");
}

TEST_F(HttpClientTest, PostIsHttp10AndItsContentTypeSticksToLaterRequests) {
    const std::string body = std::string("a\0b\xff\r\n%\"&", 10);
    server.PushBody("posted");
    server.PushBody("got");
    EXPECT_EQ(client.Post(server.Url("/p"), "multipart/form-data; boundary=xyz", body,
                          {"X-Signed: t=1,n=2"}),
              "posted");
    EXPECT_EQ(client.ContentType(), "multipart/form-data; boundary=xyz");
    EXPECT_EQ(client.Get(server.Url("/g")), "got");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].requestLine, "POST /p HTTP/1.0");
    EXPECT_EQ(SortedHeaders(requests[0]),
              Sorted({HostHeader(server), kUserAgentHeader, kAcceptHeader,
                      "Content-Type: multipart/form-data; boundary=xyz", "Content-Length: 10",
                      "X-Signed: t=1,n=2"}));
    EXPECT_EQ(requests[0].body, body);
    EXPECT_EQ(requests[1].requestLine, "GET /g HTTP/1.1");
    EXPECT_FALSE(requests[1].HasHeader("X-Signed"));
    EXPECT_EQ(requests[1].Header("Content-Type"), "multipart/form-data; boundary=xyz");
}

TEST_F(HttpClientTest, RepliesComeBackByteForByte) {
    const std::string body = std::string("\0\x01\x80\xff OK\r\n", 9);
    server.PushBody(body);
    EXPECT_EQ(client.Get(server.Url("/")), body);
}

TEST_F(HttpClientTest, FollowsFifteenRedirectsButNotSixteen) {
    for (int i = 0; i < 15; ++i)
        server.Push(ScriptedHttpServer::Redirect("/r" + std::to_string(i)));
    server.PushBody("arrived");
    EXPECT_EQ(client.Get(server.Url("/start")), "arrived");
    const auto followed = server.Requests();
    ASSERT_EQ(followed.size(), 16u);
    EXPECT_EQ(followed.back().requestLine, "GET /r14 HTTP/1.1");

    for (int i = 0; i < 16; ++i)
        server.Push(ScriptedHttpServer::Redirect("/s" + std::to_string(i)));
    server.PushBody("never reached");
    EXPECT_EQ(client.Get(server.Url("/start")), std::nullopt);
    EXPECT_EQ(server.RequestCount(), 16u + 16u);
}

TEST_F(HttpClientTest, KeepsCookiesInMemoryForTheRun) {
    Reply withCookie;
    withCookie.headers = {"Set-Cookie: session=abc123; Path=/"};
    server.Push(withCookie);
    server.PushBody("second");
    server.PushBody("other client");
    ASSERT_TRUE(client.Get(server.Url("/login")));
    ASSERT_TRUE(client.Post(server.Url("/next"), "text/plain", "x"));
    HttpClient fresh;
    ASSERT_TRUE(fresh.Get(server.Url("/next")));

    const auto requests = server.Requests();
    EXPECT_FALSE(requests[0].HasHeader("Cookie"));
    EXPECT_EQ(requests[1].Header("Cookie"), "session=abc123");
    EXPECT_FALSE(requests[2].HasHeader("Cookie"));
}

TEST_F(HttpClientTest, OnlyStatusesFrom200To299Succeed) {
    const std::vector<std::pair<int, bool>> cases = {{200, true},  {204, true},  {299, true},
                                                     {300, false}, {302, false}, {199, false},
                                                     {404, false}, {500, false}};
    for (const auto& [status, succeeds] : cases) {
        Reply reply;
        reply.status = status;
        reply.body = "OK";
        reply.headers = {"date:  Wed, 09 Dec 2026 10:00:00 GMT "};
        server.Push(reply);
        EXPECT_EQ(client.Get(server.Url("/")).has_value(), succeeds) << status;
        // A refusal's words and the server's clock reach the caller (libcurl takes a 1xx
        // status for no reply at all).
        const HttpFailure& failure = client.LastFailure();
        const bool refused = status >= 300;
        EXPECT_EQ(failure.status, refused ? status : 0);
        EXPECT_EQ(failure.body, refused ? "OK" : "");
        EXPECT_EQ(failure.date, refused ? "Wed, 09 Dec 2026 10:00:00 GMT" : "");
        EXPECT_EQ(failure.reason, "");
    }
    // Only the last response of a redirect chain speaks for the request.
    Reply moved = ScriptedHttpServer::Redirect(server.Url("/there"));
    moved.headers.push_back("Date: Mon, 07 Dec 2026 08:00:00 GMT");
    server.Push(moved);
    Reply refused;
    refused.status = 403;
    refused.body = "NO";
    server.Push(refused);
    EXPECT_EQ(client.Get(server.Url("/")), std::nullopt);
    EXPECT_EQ(client.LastFailure().status, 403);
    EXPECT_EQ(client.LastFailure().date, "");
}

TEST_F(HttpClientTest, BrokenRepliesFail) {
    Reply dropped;  // the connection closes without a byte
    dropped.sendAtMost = 0;
    Reply cut;  // closed in the middle of the body
    cut.body = std::string(1000, 'x');
    cut.sendAtMost = 600;
    Reply cutStatusLine;
    cutStatusLine.sendAtMost = 10;
    for (const Reply& reply : {dropped, cut, cutStatusLine}) {
        server.Push(reply);
        EXPECT_EQ(client.Get(server.Url("/")), std::nullopt);
    }
}

TEST_F(HttpClientTest, RefusedConnectionFails) {
    EXPECT_EQ(client.Get("http://127.0.0.1:" + std::to_string(UnusedLocalPort()) + "/"),
              std::nullopt);
}

TEST_F(HttpClientTest, ReadTimeOutEndsASilentServer) {
    client.SetReadTimeout(300);
    Reply silent;  // accepts and never answers
    silent.sendAtMost = 0;
    silent.holdOpen = true;
    Reply stalled;  // stops in the middle of the body
    stalled.body = std::string(100, 'x');
    stalled.sendAtMost = 90;
    stalled.holdOpen = true;
    for (const Reply& reply : {silent, stalled}) {
        server.Push(reply);
        EXPECT_EQ(client.Get(server.Url("/")), std::nullopt);
    }
}

TEST_F(HttpClientTest, WithoutTimeOutASlowReplyIsAwaited) {
    EXPECT_EQ(HttpClient().ReadTimeout(), HttpClient::kNoTimeout);
    client.SetReadTimeout(HttpClient::kNoTimeout);
    Reply slow;
    slow.delayMs = 400;
    slow.body = "late";
    server.Push(slow);
    EXPECT_EQ(client.Get(server.Url("/")), "late");
}

TEST_F(HttpClientTest, OnlyHttpAndHttpsUrlsReachAServer) {
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.Port());
    for (const std::string& url : std::vector<std::string>{
             "file:///etc/hostname", "https:///" + hostPort + "/x", hostPort + "/x",
             "//" + hostPort + "/x", "http:///x",
             // libcurl would take what follows a third slash for the host.
             "http:///" + hostPort + "/x", "http://", "ftp://" + hostPort + "/", std::string(),
             std::string("/qlspactions.php"), server.Url("/a") + std::string(1, '\0') + "b"}) {
        EXPECT_EQ(client.Get(url), std::nullopt) << url;
        EXPECT_EQ(client.Post(url, "text/plain", "x"), std::nullopt) << url;
    }
    EXPECT_EQ(server.RequestCount(), 0u);
    server.PushBody("upper case scheme");
    EXPECT_EQ(client.Get("HTTP://" + hostPort + "/"), "upper case scheme");
}

TEST_F(HttpClientTest, RedirectToAnotherSchemeFails) {
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.Port());
    server.Push(ScriptedHttpServer::Redirect("file:///etc/hostname"));
    server.Push(ScriptedHttpServer::Redirect("ftp://" + hostPort + "/file"));
    server.PushBody("not to be reached");
    EXPECT_EQ(client.Get(server.Url("/a")), std::nullopt);
    EXPECT_EQ(client.Get(server.Url("/b")), std::nullopt);
    EXPECT_EQ(server.RequestCount(), 2u);
}

TEST_F(HttpClientTest, ProxyVariablesAreIgnored) {
    const std::string proxy = "http://127.0.0.1:" + std::to_string(UnusedLocalPort());
    setenv("http_proxy", proxy.c_str(), 1);
    setenv("ALL_PROXY", proxy.c_str(), 1);
    server.PushBody("direct");
    const auto reply = client.Get(server.Url("/"));
    unsetenv("http_proxy");
    unsetenv("ALL_PROXY");
    EXPECT_EQ(reply, "direct");
}

// A reply over the limit fails and leaves nothing held; one that says beforehand it is too
// long fails before its body, though the server would send none.
TEST_F(HttpClientTest, ReplyOverTheSizeLimitFailsAndIsLetGo) {
    EXPECT_EQ(client.MaxReplyBytes(), size_t{1} << 30);
    constexpr size_t kLimit = 4 << 20;
    client.SetMaxReplyBytes(kLimit);
    Reply unknownLength;
    unknownLength.body = std::string(3 * kLimit, 'b');
    unknownLength.unknownLength = true;
    Reply announced;
    announced.body = std::string(kLimit + 1, 'd');
    announced.sendAtMost = 200;
    announced.holdOpen = true;
    server.PushBody(std::string(kLimit, 'a'));
    server.Push(unknownLength);
    server.Push(announced);
    EXPECT_EQ(client.Get(server.Url("/")), std::string(kLimit, 'a'));
    EXPECT_LT(client.HeldReplyBytes(), 1024u);
    EXPECT_EQ(client.Get(server.Url("/")), std::nullopt);
    EXPECT_LT(client.HeldReplyBytes(), 1024u);
    client.SetReadTimeout(5000);
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(client.Get(server.Url("/")), std::nullopt);
    EXPECT_LT(waited.elapsed(), 2000);
    EXPECT_EQ(server.RequestCount(), 3u);
}

TEST_F(HttpClientTest, WhileARequestWaitsTheEventLoopRunsAndASecondRequestIsRefused) {
    Reply slow;
    slow.delayMs = 600;
    slow.body = "first";
    server.Push(slow);
    server.PushBody("must not be sent");

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(50);
    bool checked = false;
    QTimer::singleShot(100, [&] {
        checked = true;
        EXPECT_TRUE(client.Busy());
        EXPECT_EQ(client.Get(server.Url("/second")), std::nullopt);
        EXPECT_EQ(client.Post(server.Url("/second"), "text/plain", "x"), std::nullopt);
    });
    EXPECT_EQ(client.Get(server.Url("/first")), "first");

    EXPECT_TRUE(checked);
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(client.ContentType(), "text/html");  // the refused post changed nothing
    EXPECT_EQ(server.RequestCount(), 1u);
    EXPECT_FALSE(client.Busy());
}

TEST_F(HttpClientTest, CancelEndsAWaitingRequestAndDisconnectRefusesLaterOnes) {
    // Long enough to tell a cancelled request from one the time-out ended, short enough that
    // a broken Cancel fails the test instead of hanging it.
    client.SetReadTimeout(3000);
    Reply hanging;
    hanging.sendAtMost = 0;
    hanging.holdOpen = true;
    const std::vector<std::pair<void (HttpClient::*)(), bool>> cases = {
        {&HttpClient::Cancel, true}, {&HttpClient::Disconnect, false}};
    for (const auto& [end, usableAfter] : cases) {
        server.Push(hanging);
        server.PushBody("after");
        const size_t before = server.RequestCount();
        // Ended once the server holds the request: ended before, on a busy machine, the
        // request never reached it, and the next request took the hanging reply instead.
        QTimer ender;
        QObject::connect(&ender, &QTimer::timeout, [&, end = end] {
            if (server.RequestCount() > before) (client.*end)();
        });
        ender.start(10);
        QElapsedTimer waited;
        waited.start();
        EXPECT_EQ(client.Get(server.Url("/")), std::nullopt);
        ender.stop();
        EXPECT_LT(waited.elapsed(), 1500) << "the read time-out ended it, not the client";
        EXPECT_EQ(client.Get(server.Url("/")).has_value(), usableAfter);
        EXPECT_EQ(server.RequestCount(), before + (usableAfter ? 2 : 1));
    }
}

TEST_F(HttpClientTest, ASessionThatCannotStartFailsTheRequest) {
    int attempts = 0;
    HttpClient broken([&]() -> std::unique_ptr<CurlSession> {
        ++attempts;
        throw std::runtime_error("curl_global_init failed");
    });
    EXPECT_EQ(broken.Get(server.Url("/")), std::nullopt);
    EXPECT_EQ(broken.Post(server.Url("/"), "text/plain", "x"), std::nullopt);
    EXPECT_EQ(attempts, 2) << "each request tries again";
    EXPECT_FALSE(broken.Busy());
    EXPECT_EQ(server.RequestCount(), 0u);
}

// libcurl as an older or differently built one behaves: one option refused, every other passed
// on to the real library with its argument of the option's type.
CURLoption refusedOption;
CURLcode RefusingSetopt(CURL* easy, CURLoption option, ...) {
    if (option == refusedOption) return CURLE_UNKNOWN_OPTION;
    const auto real = CurlLibrary::Get().easy_setopt;
    std::va_list args;
    va_start(args, option);
    CURLcode result;
    if (option < CURLOPTTYPE_OBJECTPOINT)
        result = real(easy, option, va_arg(args, long));
    else if (option >= CURLOPTTYPE_OFF_T && option < CURLOPTTYPE_BLOB)
        result = real(easy, option, va_arg(args, curl_off_t));
    else
        result = real(easy, option, va_arg(args, void*));
    va_end(args);
    return result;
}

TEST_F(HttpClientTest, AnOptionLibcurlRefusesFailsTheRequestBeforeAnythingIsSent) {
    CurlLibrary refusing = CurlLibrary::Get();
    refusing.easy_setopt = &RefusingSetopt;
    // The protocol lists keep the client to http and https, the certificate checks keep https
    // sound; the cookie engine is set with the session.
    for (const CURLoption option : {CURLOPT_PROTOCOLS_STR, CURLOPT_REDIR_PROTOCOLS_STR,
                                    CURLOPT_SSL_VERIFYPEER, CURLOPT_CAINFO, CURLOPT_COOKIEFILE}) {
        refusedOption = option;
        HttpClient doctored([&] { return std::make_unique<CurlSession>(refusing); });
        doctored.SetReadTimeout(5000);
        EXPECT_EQ(doctored.Get(server.Url("/")), std::nullopt) << option;
        EXPECT_EQ(doctored.Post(server.Url("/"), "text/plain", "x"), std::nullopt) << option;
        EXPECT_FALSE(doctored.Busy());
    }
    EXPECT_EQ(server.RequestCount(), 0u);
    refusedOption = CURLoption{};
    HttpClient sound([&] { return std::make_unique<CurlSession>(refusing); });
    server.PushBody("sent");
    EXPECT_EQ(sound.Get(server.Url("/")), "sent");
}

}  // namespace
