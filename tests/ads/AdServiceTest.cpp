#include <gtest/gtest.h>

#include <functional>

#include "AdList.h"
#include "AdListModel.h"
#include "AdService.h"
#include "HeapInUse.h"
#include "HttpClient.h"
#include "RequestBytes.h"
#include "ScriptedHttpServer.h"
#include "SiteSettings.h"

namespace {

using Reply = ScriptedHttpServer::Reply;

const char* const kBoundary = "--------030724090504032";

std::string Part(const std::string& name, const std::string& value) {
    return std::string("--") + kBoundary + "\r\nContent-Disposition: form-data; name=\"" + name +
           "\"\r\n\r\n" + value + "\r\n";
}

std::string Closing() { return std::string("\r\n--") + kBoundary + "--\r\n"; }

AdRecord SampleAd() {
    return {"17",
            "100% \"best\" & \xe9t\xe9",
            "Sub",
            "http://a.example/?x=1&y=2",
            "line one\r\nline two",
            "pic.jpg",
            "0",
            "0",
            "1"};
}

class AdServiceTest : public ::testing::Test {
  protected:
    AdServiceTest() {
        settings.webserver = server.Url();
        settings.actionsscript = kActionsScript;
    }

    // The one post an operation sent, checked for what every post carries.
    ScriptedHttpServer::Request OnlyPost(size_t expectedRequests = 1) {
        const auto requests = server.Requests();
        EXPECT_EQ(requests.size(), expectedRequests);
        if (requests.empty()) return {};
        const auto& post = requests.back();
        EXPECT_EQ(post.requestLine, "POST /qlspactions.php HTTP/1.0");
        EXPECT_EQ(SortedHeaders(post),
                  Sorted({HostHeader(server), kUserAgentHeader, kAcceptHeader,
                          std::string("Content-Type: multipart/form-data; boundary=") + kBoundary,
                          "Content-Length: " + std::to_string(post.body.size())}));
        return post;
    }

    ScriptedHttpServer server;
    HttpClient client;
    SiteSettings settings;
    AdService service{client, settings.webserver, settings.actionsscript, settings.ownerkey,
                      [] { return QDateTime(QDate(2024, 3, 7), QTime(9, 5, 4, 32)); }};
};

TEST_F(AdServiceTest, CheckServicePostsActionOneAndEnd) {
    server.PushBody("OK");
    EXPECT_TRUE(service.CheckService());
    EXPECT_EQ(OnlyPost().body,
              "----------030724090504032\r\n"
              "Content-Disposition: form-data; name=\"action\"\r\n\r\n1\r\n"
              "----------030724090504032\r\n"
              "Content-Disposition: form-data; name=\"end\"\r\n\r\n\r\n"
              "\r\n----------030724090504032--\r\n");
}

TEST_F(AdServiceTest, AddAdGetsTheScriptThenPostsEveryFieldUnchanged) {
    server.PushBody("whatever the script says to a GET");
    server.PushBody("OK");
    const AdRecord ad = SampleAd();
    EXPECT_EQ(service.AddAd(ad), AdService::kDone);

    const auto get = server.Requests()[0];
    EXPECT_EQ(get.requestLine, "GET /qlspactions.php HTTP/1.1");
    EXPECT_EQ(get.Header("Content-Type"), "text/html");
    EXPECT_EQ(get.body, "");
    EXPECT_EQ(OnlyPost(2).body, Part("action", "2") + Part("ad_id", "17") +
                                    Part("ad_title", ad.ad_title) + Part("ad_subtitle", "Sub") +
                                    Part("ad_url", ad.ad_url) + Part("ad_text", ad.ad_text) +
                                    Part("ad_picture", "pic.jpg") + Part("ad_enable", "1") +
                                    Part("ad_impressions", "0") + Part("ad_clicks", "0") +
                                    Part("end", "") + Closing());
}

TEST_F(AdServiceTest, AddAdPostsNothingWhenItsGetFails) {
    Reply missing;
    missing.status = 404;
    server.Push(missing);
    server.PushBody("OK");
    EXPECT_EQ(service.AddAd(SampleAd()), AdService::kFailed);
    EXPECT_EQ(server.RequestCount(), 1u);
}

TEST_F(AdServiceTest, EditAdSendsNeitherImpressionsNorClicks) {
    server.PushBody("OK");
    AdRecord ad = SampleAd();
    ad.ad_impressions = "500";
    ad.ad_clicks = "20";
    ad.ad_enable = "0";
    EXPECT_EQ(service.EditAd(ad), AdService::kDone);
    EXPECT_EQ(OnlyPost().body, Part("action", "3") + Part("ad_id", "17") +
                                   Part("ad_title", ad.ad_title) + Part("ad_subtitle", "Sub") +
                                   Part("ad_url", ad.ad_url) + Part("ad_text", ad.ad_text) +
                                   Part("ad_picture", "pic.jpg") + Part("ad_enable", "0") +
                                   Part("end", "") + Closing());
}

TEST_F(AdServiceTest, DeleteAdsSendsTheIdsAsGiven) {
    server.PushBody("OK");
    server.PushBody("OK");
    EXPECT_TRUE(service.DeleteAds("3,12"));
    EXPECT_TRUE(service.DeleteAds("all"));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].body,
              Part("action", "4") + Part("qlspotdeleteids", "3,12") + Part("end", "") + Closing());
    EXPECT_EQ(requests[1].body,
              Part("action", "4") + Part("qlspotdeleteids", "all") + Part("end", "") + Closing());
}

TEST_F(AdServiceTest, LoadAndFetchSendTheirActions) {
    server.PushBody("OK");
    server.PushBody("OK");
    AdListModel list;
    std::string record;
    service.LoadAdList(list);
    service.FetchAd("42", record);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].body, Part("action", "5") + Part("end", "") + Closing());
    EXPECT_EQ(requests[1].body,
              Part("action", "9") + Part("ad_id", "42") + Part("end", "") + Closing());
}

TEST_F(AdServiceTest, UrlIsSiteAndScriptJoinedByOneSlashAsTheyStand) {
    settings.webserver = server.Url("/site/");
    server.PushBody("OK");
    EXPECT_TRUE(service.CheckService());
    EXPECT_EQ(server.Requests()[0].requestLine, "POST /site//qlspactions.php HTTP/1.0");
}

TEST_F(AdServiceTest, UnusableSiteUrlsFailWithoutARequest) {
    server.SetDefault([] {
        Reply ok;
        ok.body = "OK";
        return ok;
    }());
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.Port());
    for (const std::string& site :
         std::vector<std::string>{"", "ftp://" + hostPort, hostPort, "http://"}) {
        settings.webserver = site;
        std::string record = "kept";
        AdListModel list;
        EXPECT_FALSE(service.CheckService()) << site;
        EXPECT_EQ(service.AddAd(SampleAd()), AdService::kFailed) << site;
        EXPECT_EQ(service.EditAd(SampleAd()), AdService::kFailed) << site;
        EXPECT_FALSE(service.DeleteAds("all")) << site;
        EXPECT_FALSE(service.LoadAdList(list)) << site;
        EXPECT_FALSE(service.FetchAd("1", record)) << site;
        EXPECT_EQ(record, "kept");
    }
    EXPECT_EQ(server.RequestCount(), 0u);
}

TEST_F(AdServiceTest, EveryOperationSetsTheSixtySecondTimeOut) {
    EXPECT_EQ(client.ReadTimeout(), HttpClient::kNoTimeout);
    settings.webserver = "";  // even an operation that cannot send sets it
    AdListModel list;
    std::string record;
    const std::vector<std::function<void()>> operations = {
        [&] { service.CheckService(); },     [&] { service.AddAd(SampleAd()); },
        [&] { service.EditAd(SampleAd()); }, [&] { service.DeleteAds("1"); },
        [&] { service.LoadAdList(list); },   [&] { service.FetchAd("1", record); }};
    for (const auto& operation : operations) {
        client.SetReadTimeout(HttpClient::kNoTimeout);
        operation();
        EXPECT_EQ(client.ReadTimeout(), 60000);
    }
}

TEST_F(AdServiceTest, CheckAndDeleteNeedExactlyOk) {
    const std::vector<std::pair<std::string, bool>> replies = {
        {"OK", true},    {"OK\r\n", false},
        {" OK", false},  {"OK ", false},
        {"ok", false},   {"Ok", false},
        {"", false},     {"BAD", false},
        {"OKOK", false}, {std::string("OK\0", 3), false}};
    for (const auto& [reply, expected] : replies) {
        server.PushBody(reply);
        server.PushBody(reply);
        EXPECT_EQ(service.CheckService(), expected) << reply;
        EXPECT_EQ(service.DeleteAds("1"), expected) << reply;
    }
}

TEST_F(AdServiceTest, AddAndEditTellDoneRefusedAndFailed) {
    const std::vector<std::tuple<std::string, int, int>> replies = {
        {"OK", AdService::kDone, AdService::kDone},
        {"EXIST RECORD", AdService::kRefused, AdService::kFailed},
        {"EXIST RECORD ", AdService::kFailed, AdService::kFailed},
        {"DON'T EXIST RECORD", AdService::kFailed, AdService::kRefused},
        {"DON'T EXIST RECORD\r\n", AdService::kFailed, AdService::kFailed},
        {"exist record", AdService::kFailed, AdService::kFailed},
        {"OK\r\n", AdService::kFailed, AdService::kFailed},
        {"ok", AdService::kFailed, AdService::kFailed}};
    for (const auto& [reply, added, edited] : replies) {
        server.PushBody("");  // the GET before an add
        server.PushBody(reply);
        server.PushBody(reply);
        EXPECT_EQ(service.AddAd(SampleAd()), added) << reply;
        EXPECT_EQ(service.EditAd(SampleAd()), edited) << reply;
    }
}

TEST_F(AdServiceTest, AFailedRequestFailsEvenWithOkInItsBody) {
    Reply error;
    error.status = 500;
    error.body = "OK";
    server.SetDefault(error);
    AdListModel list;
    std::string record = "kept";
    EXPECT_FALSE(service.CheckService());
    EXPECT_EQ(service.EditAd(SampleAd()), AdService::kFailed);
    EXPECT_FALSE(service.DeleteAds("all"));
    EXPECT_FALSE(service.LoadAdList(list));
    EXPECT_FALSE(service.FetchAd("1", record));
    EXPECT_EQ(record, "kept");
}

TEST_F(AdServiceTest, FetchAdReturnsTheRecordWithoutItsMarkers) {
    const std::string ad = "\"7\",\"T\",\"S\",\"U\",\"X\",\"P\",\"10\",\"2\",\"1\"";
    const std::vector<std::tuple<std::string, bool, std::string>> replies = {
        {ad + "^OK", true, ad}, {"OK", false, "OK"},         {"^OK", false, ""},
        {"^OK^OK", false, ""},  {"a^OKb^OK", true, "ab"},    {ad + "^ok", false, ad + "^ok"},
        {"BAD", false, "BAD"},  {ad + "OK", true, ad + "OK"}};
    for (const auto& [reply, found, expected] : replies) {
        server.PushBody(reply);
        std::string record = "kept";
        EXPECT_EQ(service.FetchAd("7", record), found) << reply;
        EXPECT_EQ(record, expected) << reply;
    }
}

TEST_F(AdServiceTest, LoadAdListFillsTheListOnlyFromAReplyWithOk) {
    AdListModel list;
    server.PushBody("\"1\",\"A\",\"B\",\"C\",\"D\",\"E\",\"4\",\"1\",\"1\"^OK");
    EXPECT_TRUE(service.LoadAdList(list));
    ASSERT_EQ(list.rowCount(), 1);

    Reply error;
    error.status = 404;
    server.Push(error);
    server.PushBody("BAD");
    server.PushBody("\"2\",\"A\",\"B\",\"C\",\"D\",\"E\",\"4\",\"1\",\"1\"^ok");
    // Error pages that merely contain "OK", a list whose end is not "OK", and a NUL byte
    // that would hide the records after it.
    const std::vector<std::string> noLists = {
        "<html>BOOKING failed</html>", "NOT OK",
        "OK^\"5\",\"A\",\"B\",\"C\",\"D\",\"E\",\"4\",\"1\",\"1\"",
        "\"5\",\"A\",\"B\",\"C\",\"D\",\"E\",\"4\",\"1\",\"1\"^OK trailing",
        std::string("\"5\",\"A\",\"B\",\"C\",\"D\",\"E\",\"4\",\"1\",\"1\"^\0\"6\"^OK", 43)};
    for (const std::string& reply : noLists) server.PushBody(reply);
    for (size_t i = 0; i < 3 + noLists.size(); ++i) {
        EXPECT_FALSE(service.LoadAdList(list));
        ASSERT_EQ(list.rowCount(), 1);
        EXPECT_EQ(list.HiddenId(0), "1");
    }

    server.PushBody("\"3\",\"short\"^OK");
    EXPECT_FALSE(service.LoadAdList(list));
    // Blanks and a line break may follow the closing "OK".
    server.PushBody("\"8\",\"A\",\"B\",\"C\",\"D\",\"E\",\"4\",\"1\",\"1\"^OK \r\n");
    EXPECT_TRUE(service.LoadAdList(list));
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.HiddenId(0), "8");
    server.PushBody("OK\n");
    EXPECT_TRUE(service.LoadAdList(list));
    EXPECT_EQ(list.rowCount(), 0);
}

// A refresh holds the new list once, as the reply arrived, and lets go of the old rows.
TEST_F(AdServiceTest, ARefreshKeepsNeitherASecondCopyOfTheReplyNorTheOldRows) {
    std::string reply;
    for (int id = 0; id < 50000; ++id)
        reply += "\"" + std::to_string(id) +
                 "\",\"A title\",\"A subtitle\",\"http://example.com/landing\",\"Some text\","
                 "\"picture.gif\",\"1000\",\"10\",\"1\"^";
    reply += "OK";
    AdListModel list;
    server.PushBody("OK");
    ASSERT_TRUE(service.LoadAdList(list));
    const size_t before = HeapInUse();

    server.PushBody(reply);
    ASSERT_TRUE(service.LoadAdList(list));
    ASSERT_EQ(list.rowCount(), 50000);
    const size_t held = HeapInUse() - before;
    EXPECT_LT(held, reply.size() * 3 / 2) << "reply " << reply.size();

    server.PushBody("OK");
    ASSERT_TRUE(service.LoadAdList(list));
    EXPECT_LT(HeapInUse(), before + (64 << 10)) << "the old rows are gone";
}

}  // namespace
