// The news service against a scripted news server on loopback.
#include <gtest/gtest.h>

#include "FormPost.h"
#include "HttpClient.h"
#include "MessageRecorder.h"
#include "NewsService.h"
#include "ScriptedHttpServer.h"

namespace {

const std::string kMarker =
    "\xAF"
    "OK";

class NewsServiceTest : public ::testing::Test {
  protected:
    NewsServiceTest() {
        client.SetReadTimeout(5000);
        profile.MasterNewsBaseURL = server.Url("/master/");
        profile.PlatinumNewsBaseURL = server.Url("/platinum");
        profile.GoldNewsBaseURL = server.Url("/gold/news");
    }
    // The form the client sent, rebuilt from the expected fields with the boundary it used.
    static std::string FormOf(const ScriptedHttpServer::Request& r, const FormFields& fields) {
        const std::string type = r.Header("Content-Type");
        return FormBody(type.substr(type.find('=') + 1), fields);
    }

    ScriptedHttpServer server;
    HttpClient client;
    MessageRecorder messages;
    BrandProfile profile;
    NewsService service{client, messages, profile};
};

TEST_F(NewsServiceTest, EachTierAsksItsOwnAddressWithItsFieldsInOrder) {
    const struct {
        const char* type;
        const char* listPath;
        const char* detailsPath;
    } tiers[] = {{"BM", "/master/getlastnews.php", "/master/getnewsdetails.php"},
                 {"BP", "/platinum/getlastnews.php", "/platinum/getnewsdetails.php"},
                 {"BG", "/gold/news/getlastnews.php", "/gold/news/getnewsdetails.php"}};
    for (const auto& tier : tiers) {
        SCOPED_TRACE(tier.type);
        const size_t before = server.RequestCount();
        for (int i = 0; i < 3; ++i) server.PushBody(kMarker);
        std::vector<std::string> list;
        std::string code, title, content;
        EXPECT_TRUE(service.FetchNewsList("pub", "BC1", tier.type, "UA", list));
        EXPECT_TRUE(service.FetchLastCode("pub", "BC1", tier.type, "UA", code, title));
        EXPECT_TRUE(service.FetchNewsDetails("pub", "BC1", tier.type, "UA", "42", content));
        const auto all = server.Requests();
        ASSERT_EQ(all.size(), before + 3);
        const std::vector requests(all.begin() + static_cast<long>(before), all.end());
        const std::string listLine = std::string("POST ") + tier.listPath + " HTTP/1.0";
        EXPECT_EQ(requests[0].requestLine, listLine);
        EXPECT_EQ(requests[1].requestLine, listLine);
        EXPECT_EQ(requests[2].requestLine, std::string("POST ") + tier.detailsPath + " HTTP/1.0");
        const auto fields = [&](const char* name, const char* value) {
            return FormFields{{"memusername", "pub"}, {"prodcode", "BC1"},  {"prodtype", tier.type},
                              {name, value},          {"newstarget", "UA"}, {"something", ""}};
        };
        EXPECT_EQ(requests[0].body, FormOf(requests[0], fields("conttype", "all")));
        EXPECT_EQ(requests[1].body, FormOf(requests[1], fields("conttype", "lastcode")));
        EXPECT_EQ(requests[2].body, FormOf(requests[2], fields("newsid", "42")));
    }
}

TEST_F(NewsServiceTest, RepliesAndTheirOutcomes) {
    enum Op { List, Last, Details };
    const char* const kAccess =
        "There is a trouble accessing the news site. Contact your provider.";
    const struct {
        Op op;
        std::string reply;  // "<none>": the server answers 404
        bool ok;
        std::string result;   // the records joined by "|", "code|title", or the content
        std::string warning;  // empty: no message
    } cases[] = {
        {List,
         "1^A^d1\xAF"
         "2^B^d2" +
             kMarker,
         true, "1^A^d1|2^B^d2", ""},
        {List, " \r\n\tOK \r\n", true, "", ""},
        {List,
         "\xAF\xAF"
         "1^OK^d\xAF"
         "OK\xAF" +
             kMarker + "\xAF",
         true, "1^OK^d", ""},
        {List,
         "1^A^d\xC2\xAF"
         "OK",
         true, "1^A^d\xC2", ""},
        {List, "ok", false, "", ""},
        {List, "<none>", false, "", kAccess},
        {List, "CONNECTIONFAIL", false, "",
         "There is a trouble in the settings file on the news site."},
        {List, "INVALIDUSER", false, "",
         "There is a trouble with the Publisher Id. Contact your provider."},
        {List, "INVALIDPRODUCT", false, "",
         "There is a trouble with the product validation. Contact your provider."},
        {List, "INVALIDNEWS", false, "", ""},
        {Details, "INVALIDNEWS", false, "",
         "There is a trouble with this news. Contact your provider."},
        {Details, "\r\n<p>$41$42" + kMarker + "C" + kMarker + "\r\n", true, "<p>ABC", ""},
        {Details, std::string(10 << 20, '$') + kMarker, true, "", ""},
        {Details, "<none>", false, "", kAccess},
        {Last, "12^Title^x" + kMarker, true, "12|Title", ""},
        {Last, "\r\nOK\r\n", true, "|", ""},
        {Last, "12" + kMarker, true, "|", ""},
        {Last, "<none>", false, "|", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.substr(0, 40));
        if (c.reply == "<none>")
            server.Push({.status = 404, .reason = "Not Found", .body = "OK"});
        else
            server.PushBody(c.reply);
        messages.shown.clear();
        std::vector<std::string> list;
        std::string first = "stale", second, joined;
        bool ok = false;
        if (c.op == List) {
            ok = service.FetchNewsList("p", "c", "BM", "UA", list);
            for (const std::string& record : list) joined += (joined.empty() ? "" : "|") + record;
        } else if (c.op == Last) {
            ok = service.FetchLastCode("p", "c", "BM", "UA", first, second);
            joined = first + "|" + second;
        } else {
            ok = service.FetchNewsDetails("p", "c", "BM", "UA", "1", first);
            joined = first;
        }
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(joined, c.result);
        if (c.warning.empty()) {
            EXPECT_TRUE(messages.shown.empty());
        } else {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].kind, "warning");
            EXPECT_EQ(messages.shown[0].text, c.warning);
        }
    }
}

}  // namespace
