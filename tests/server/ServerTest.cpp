// The reference scripts on their own, served by PHP on loopback over a real SQLite file and a
// real MariaDB server, spoken to with raw requests: strangers' and forged posts are refused,
// bad requests and settings get short refusals, and nothing of PHP leaks into a reply.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdlib>

#include "AdSite.h"
#include "OwnerSignature.h"
#include "Php.h"
#include "SignedRequests.h"
#include "SiteSettings.h"

namespace {

class StopMariaDB : public ::testing::Environment {
    void TearDown() override { AdSite::StopMariaDB(); }
};
const auto* const kStop = ::testing::AddGlobalTestEnvironment(new StopMariaDB);

const FormFields kList = {{"action", "5"}, {"end", ""}};

FormFields AdFields(const std::string& title) {
    return {{"action", "2"},
            {"ad_id", ""},
            {"ad_title", title},
            {"ad_subtitle", "Sub"},
            {"ad_url", "http://example.com/"},
            {"ad_text", "About"},
            {"ad_picture", title + ".svg"},
            {"ad_enable", "1"},
            {"ad_impressions", "0"},
            {"ad_clicks", "0"},
            {"end", ""}};
}

FormFields Daily(const std::string& ad, const std::string& first, const std::string& last) {
    return {{"action", "7"}, {"ad_id", ad}, {"first_day", first}, {"last_day", last}, {"end", ""}};
}

FormFields Delete(const std::string& ids) {
    return {{"action", "4"}, {"qlspotdeleteids", ids}, {"end", ""}};
}

// Makes a signed delete of ad 99 delete every ad; the boundary may hold "99" too.
void Tamper(RawRequest& request) {
    request.body.replace(request.body.find("\r\n\r\n99\r\n"), 8, "\r\n\r\nall\r\n");
}

std::string Quoted(const std::vector<std::string>& values) {
    std::string record;
    for (const std::string& value : values)
        record += (record.empty() ? "\"" : ",\"") + value + "\"";
    return record;
}

// The site with a settings script written by hand as the owner's client writes it, with the
// tests' owner key.
class Server : public ::testing::TestWithParam<Database> {
  protected:
    explicit Server(const QStringList& phpOptions = {}) : site(GetParam(), phpOptions) {
        site.Configure(database);
        site.Upload(Script(database.dbhostname));
    }
    std::string Script(const std::string& hostname, const std::string& key = kOwnerKey,
                       const std::string& after = "") const {
        return SettingsScript(database, hostname, key, after);
    }
    Answer Post(const FormFields& fields) const { return Send(Signed(actions, fields)); }
    // Runs PHP `code` beside the scripts, with $db the site's database; what it printed.
    std::string OnDatabase(const std::string& code) const {
        return RunPhp({"-d", "extension=pdo", "-d", "extension=pdo_sqlite", "-d",
                       "extension=mysqlnd", "-d", "extension=pdo_mysql", "-r",
                       QString::fromStdString(
                           "require $argv[1]; $db = qlsp_connect(qlsp_settings());" + code),
                       QString::fromStdString(site.Path("qlspcommon.php"))});
    }
    std::string List() const {
        const Answer listed = Post(kList);
        EXPECT_EQ(listed.status, 200);
        return listed.body;
    }

    AdSite site;
    SiteSettings database;
    const std::string actions = site.Url("/qlspactions.php");
};

TEST_P(Server, OnlyPostsTheOwnerKeySignedChangeAnything) {
    ASSERT_EQ(Post(AdFields("Kept")).body, "OK");
    const std::string listed = List();
    ASSERT_NE(listed.find("\"Kept\""), std::string::npos) << listed;

    const qint64 now = QDateTime::currentSecsSinceEpoch();
    RawRequest stranger = Signed(actions, Delete("all"));
    stranger.headers.clear();
    RawRequest tampered = Signed(actions, Delete("99"));
    Tamper(tampered);
    RawRequest upperCase = Signed(actions, Delete("all"));
    QByteArray& header = upperCase.headers[0].second;
    const qsizetype mac = header.indexOf("v1=") + 3;
    header = header.left(mac) + header.mid(mac).toUpper();
    const struct {
        const char* what;
        RawRequest request;
        int status;
        std::string body;
    } cases[] = {
        {"a stranger's", stranger, 403, "BAD SIGNATURE"},
        {"tampered", tampered, 403, "BAD SIGNATURE"},
        {"upper-case", upperCase, 403, "BAD SIGNATURE"},
        {"wrong key", Signed(actions, Delete("all"), std::string(64, '0')), 403, "BAD SIGNATURE"},
        {"stale", Signed(actions, Delete("all"), kOwnerKey, now - 301), 403, "STALE SIGNATURE"},
        {"early", Signed(actions, Delete("all"), kOwnerKey, now + 400), 403, "STALE SIGNATURE"},
        {"late clock", Signed(actions, kList, kOwnerKey, now - 290), 200, listed},
        {"fast clock", Signed(actions, kList, kOwnerKey, now + 290), 200, listed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Answer answer = Send(c.request);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_EQ(answer.body, c.body);
        // The owner's client learns the server's clock from it.
        const QDateTime date = QDateTime::fromString(
            QString::fromLatin1(answer.date).replace("GMT", "+0000"), Qt::RFC2822Date);
        EXPECT_LE(std::abs(date.toSecsSinceEpoch() - now), 60) << answer.date.toStdString();
    }

    const RawRequest add = Signed(actions, AdFields("Gone"));
    ASSERT_EQ(Send(add).body, "OK");
    ASSERT_EQ(Post(Delete("2")).body, "OK");
    const Answer replayed = Send(add);
    EXPECT_EQ(replayed.status, 403);
    EXPECT_EQ(replayed.body, "REPLAYED SIGNATURE");
    EXPECT_EQ(List(), listed);
}

TEST_P(Server, BadRequestsAreRefusedOrStoredIntactAndNothingLeaks) {
    const std::string sql = "x'); DROP TABLE qlsp_ads; -- \" <script>alert(1)</script>";
    const std::string big(1 << 20, 'b');
    const auto add = [&](const std::string& title, const std::string& url,
                         const std::string& enable) {
        return Signed(actions, {{"action", "2"},
                                {"ad_id", sql},
                                {"ad_title", title},
                                {"ad_subtitle", sql},
                                {"ad_url", url},
                                {"ad_text", big},
                                {"ad_picture", sql},
                                {"ad_enable", enable},
                                {"ad_impressions", "0"},
                                {"ad_clicks", "0"},
                                {"end", ""}});
    };
    const auto post = [&](const FormFields& fields) { return Signed(actions, fields); };
    RawRequest cut = add("Cut", "http://a.example/", "1");
    cut.body.resize(cut.body.size() / 2);
    RawRequest file = post(AdFields("File"));
    file.body.replace(file.body.find("name=\"ad_picture\""), 17,
                      "name=\"ad_picture\"; filename=\"x.svg\"");
    const std::string encoded = "action=4&qlspotdeleteids=all&end=";
    const RawRequest urlEncoded{
        actions,
        "application/x-www-form-urlencoded",
        encoded,
        {{"X-Quillspot-Signature", OwnerSignature(kOwnerKey, QDateTime::currentSecsSinceEpoch(),
                                                  QByteArray(32, 'a'), encoded)}}};
    const struct {
        RawRequest request;
        int status;
        std::string body;
    } cases[] = {
        {{actions}, 200, "OK"},
        {add(sql, "javascript:alert(1)", "1"), 200, "OK"},
        {add("Other", "http://a.example/\r\nSet-Cookie: x=1", "1"), 200, "OK"},
        {add("Third", "http://a.example/", "1; DROP TABLE qlsp_ads"), 400, "BAD FIELD ad_enable"},
        {post({{"action", "2"}, {"end", ""}}), 400, "MISSING FIELD ad_title"},
        {post({{"action", "8"}, {"end", ""}}), 400, "UNKNOWN ACTION"},
        {post({{"end", ""}}), 400, "UNKNOWN ACTION"},
        {post({{"action", "9"}, {"ad_id", "1 OR 1=1"}, {"end", ""}}), 200, "OK"},
        {post(Delete("1) OR (1=1")), 400, "BAD FIELD qlspotdeleteids"},
        {post({{"action", "2"}, {"ad_text", std::string(50 << 20, 't')}, {"end", ""}}), 413,
         "TOO LARGE"},
        {post({{"action", "4"}, {"qlspotdeleteids", "all"}}), 400, "INCOMPLETE FORM"},
        {post({{"action", "4"}, {"end", ""}, {"qlspotdeleteids", "all"}}), 400, "INCOMPLETE FORM"},
        {cut, 400, "INCOMPLETE FORM"},
        {post({{"action", "4"}, {"qlspotdeleteids[]", "all"}, {"end", ""}}), 400, "BAD FORM"},
        {file, 400, "BAD FORM"},
        {urlEncoded, 400, "BAD FORM"},
        {{site.Url("/qlspgetid.php?lastadid=0%20UNION%20SELECT%201")}, 400, "0"},
        {{site.Url("/qlspshow.php?ad_id=%3Cscript%3E")}, 400, "NO SUCH AD"},
        {{site.Url("/qlspclick.php?ad_id=1")}, 404, "THIS AD HAS NO WEB ADDRESS"},
        {{site.Url("/qlspclick.php?ad_id=2")}, 404, "THIS AD HAS NO WEB ADDRESS"},
        {{site.Url("/qlspclick.php?ad_id=3&url=http://evil.example/")}, 404, "NO SUCH AD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request.url + " " + c.request.body.substr(0, 120));
        const Answer answer = Send(c.request);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_EQ(answer.body, c.body);
        EXPECT_FALSE(answer.poweredBy);
    }
    EXPECT_EQ(Post({{"action", "9"}, {"ad_id", "1"}, {"end", ""}}).body,
              Quoted({"1", sql, sql, "javascript:alert(1)", big, sql, "0", "0", "1"}) + "^OK");
    const Answer shown = Send({site.Url("/qlspshow.php?ad_id=1")});
    EXPECT_EQ(shown.status, 200);
    EXPECT_EQ(shown.body.find("<script>"), std::string::npos);
    EXPECT_NE(shown.body.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_FALSE(shown.poweredBy);

    // Settings that are missing, broken, wrong or unsafe get a short refusal and no PHP or
    // database message; what the settings script prints never reaches a reply.
    const std::string hostname = database.dbhostname;
    QDir(QString::fromStdString(site.Path("data"))).mkpath(".");
    // Relative to the site folder, where PHP's web server runs the scripts, yet outside it.
    const QTemporaryDir outside;
    const std::string relative = "../" + QFileInfo(outside.path()).fileName().toStdString();
    const struct {
        std::string script;
        int status;
        std::string body;
    } settingsCases[] = {
        {"", 503, "NO SETTINGS"},
        {"<?php $hostname=\"", 503, "BROKEN SETTINGS"},
        {"<?php $hostname=1; $database=''; $username=''; $password=''; $adswidth='';", 503,
         "BROKEN SETTINGS"},
        {Script("127.0.0.1:1"), 503, "DATABASE UNAVAILABLE"},
        {Script("sqlite:ads.sqlite"), 503, "BROKEN SETTINGS"},
        {Script("sqlite:" + relative + "/ads.sqlite"), 503, "BROKEN SETTINGS"},
        {Script("sqlite:" + site.Path("ads.sqlite")), 503, "BROKEN SETTINGS"},
        {Script("sqlite:" + site.Path("data/../data/ads.sqlite")), 503, "BROKEN SETTINGS"},
        {Script(hostname, kOwnerKey, "\r\n\r\n"), 200, "OK"},
        {"\xEF\xBB\xBF" + Script(hostname), 200, "OK"},
        {Script(hostname, ""), 403, "NO OWNER KEY"},
        {Script(hostname, std::string(kOwnerKey).substr(2)), 403, "NO OWNER KEY"},
        {Script(hostname, std::string(63, 'a') + "g"), 403, "NO OWNER KEY"},
    };
    for (const auto& c : settingsCases) {
        if (c.script.empty())
            QFile::remove(QString::fromStdString(site.Path("qlspsettings.php")));
        else
            site.Upload(c.script);
        const Answer answer = Post({{"action", "1"}, {"end", ""}});
        EXPECT_EQ(answer.status, c.status) << c.script;
        EXPECT_EQ(answer.body, c.body) << c.script;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(site.Path("ads.sqlite"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(site.Path("data/ads.sqlite"))));
    EXPECT_TRUE(QDir(outside.path()).isEmpty());
    // The client's check before an add needs no key.
    const Answer check = Send({actions});
    EXPECT_EQ(check.status, 200);
    EXPECT_EQ(check.body, "OK");
}

// Visitors arriving together each count into the ad's day as into its totals.
TEST_P(Server, ConcurrentVisitorsCountExactlyIntoTheDay) {
    ASSERT_EQ(Post(AdFields("Busy")).body, "OK");
    std::vector<std::unique_ptr<QProcess>> visitors;
    for (int i = 0; i < 8; ++i) {
        visitors.push_back(std::make_unique<QProcess>());
        visitors.back()->start("php",
                               {"-r",
                                "for ($i = 0; $i < 25; ++$i) file_get_contents($argv[1]);"
                                "for ($i = 0; $i < 5; ++$i) @file_get_contents($argv[2]);",
                                QString::fromStdString(site.Url("/qlspgetid.php?lastadid=0")),
                                QString::fromStdString(site.Url("/qlspclick.php?ad_id=1"))});
    }
    for (auto& visitor : visitors) EXPECT_TRUE(visitor->waitForFinished(60000));
    // The server's day is its own: a day either side of ours holds it, whatever its zone.
    const QDate today = QDate::currentDate();
    const std::string counted =
        Post(Daily("1", today.addDays(-1).toString(Qt::ISODate).toStdString(),
                   today.addDays(1).toString(Qt::ISODate).toStdString()))
            .body;
    EXPECT_TRUE(QRegularExpression("\\A[0-9]{4}-[0-9]{2}-[0-9]{2},1,200,40\\^OK\\z")
                    .match(QString::fromStdString(counted))
                    .hasMatch())
        << counted;
    EXPECT_NE(Post({{"action", "9"}, {"ad_id", "1"}, {"end", ""}}).body.find("\",\"200\",\"40\","),
              std::string::npos);
}

// Days are asked for by range, of one ad or of all, across month and year boundaries; an ad's
// days go with it; a malformed field is refused.
TEST_P(Server, DailyCountsAreAnsweredByRangeAndGoWithTheirAd) {
    for (const char* title : {"One", "Two", "Three"}) ASSERT_EQ(Post(AdFields(title)).body, "OK");
    ASSERT_EQ(OnDatabase("$db->exec(\"INSERT INTO qlsp_daily "
                         "(day, ad_id, impressions, clicks) VALUES ('2025-12-30', 1, 9, 9), "
                         "('2025-12-31', 1, 10, 1), ('2025-12-31', 2, 20, 2), "
                         "('2026-01-01', 3, 30, 3), ('2026-01-01', 1, 11, 0), "
                         "('2026-01-31', 1, 12, 2), ('2026-02-01', 2, 21, 0), "
                         "('2026-02-01', 1, 13, 1), ('2026-02-02', 1, 9, 9)\");"),
              "");
    const std::string first = "2025-12-31", last = "2026-02-01";
    const std::string all =
        "2025-12-31,1,10,1^2025-12-31,2,20,2^2026-01-01,1,11,0^2026-01-01,3,30,3^"
        "2026-01-31,1,12,2^2026-02-01,1,13,1^2026-02-01,2,21,0^OK";
    const struct {
        FormFields fields;
        int status;
        std::string body;
    } cases[] = {
        {Daily("1", first, last), 200,
         "2025-12-31,1,10,1^2026-01-01,1,11,0^2026-01-31,1,12,2^2026-02-01,1,13,1^OK"},
        {Daily("all", first, last), 200, all},
        {Daily("2", "2026-01-01", "2026-01-31"), 200, "OK"},
        {Daily("7", first, last), 200, "OK"},
        {Daily("all", "2026-02-01", "2026-02-01"), 200, "2026-02-01,1,13,1^2026-02-01,2,21,0^OK"},
        {Daily("all", "2016-01-25", "2026-02-01"), 200, "2025-12-30,1,9,9^" + all},
        {Daily("all", "2016-01-24", "2026-02-01"), 400, "BAD FIELD last_day"},
        {Daily("all", last, first), 400, "BAD FIELD last_day"},
        {Daily("0", first, last), 400, "BAD FIELD ad_id"},
        {Daily("1 OR 1=1", first, last), 400, "BAD FIELD ad_id"},
        {Daily("1", "2026-02-30", last), 400, "BAD FIELD first_day"},
        {Daily("1", "2026-2-01", last), 400, "BAD FIELD first_day"},
        {Daily("1", first, "2026-02-01'"), 400, "BAD FIELD last_day"},
        {Daily("1", first, " 2026-02-01"), 400, "BAD FIELD last_day"},
        {{{"action", "7"}, {"ad_id", "1"}, {"first_day", first}, {"end", ""}},
         400,
         "MISSING FIELD last_day"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields[1].second + " " + c.fields[2].second + " " + c.fields.at(3).second);
        const Answer answer = Post(c.fields);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_EQ(answer.body, c.body);
    }
    ASSERT_EQ(Post(Delete("3")).body, "OK");
    EXPECT_EQ(Post(Daily("3", first, last)).body, "OK");
    EXPECT_EQ(Post(Daily("all", "2026-01-01", "2026-01-01")).body, "2026-01-01,1,11,0^OK");
    ASSERT_EQ(Post(Delete("all")).body, "OK");
    EXPECT_EQ(Post(Daily("all", "2025-01-01", "2026-12-31")).body, "OK");
}

// A list far longer than what the script sends at a time arrives whole, in id order, every
// byte as stored.
TEST_P(Server, AListOfManyAdsArrivesWholeInIdOrder) {
    constexpr int kAds = 5000;
    ASSERT_EQ(OnDatabase("$db->beginTransaction(); $add = $db->prepare('INSERT INTO qlsp_ads "
                         "(ad_title, ad_subtitle, ad_url, ad_text, ad_picture, ad_impressions, "
                         "ad_clicks, ad_enable) VALUES (?, ?, ?, ?, ?, ?, ?, ?)');"
                         "for ($i = 1; $i <= " +
                         std::to_string(kAds) +
                         "; ++$i) $add->execute([\"Ad $i\", \"a\\\",\\\"b^c\\xff\", "
                         "\"http://x.example/$i\", str_repeat('t', 100), \"p$i.png\", "
                         "$i * 1000, $i % 9, $i % 2]); $db->commit();"),
              "");
    std::string expected;
    for (int i = 1; i <= kAds; ++i) {
        const std::string n = std::to_string(i);
        expected += Quoted({n, "Ad " + n, "a\",\"b^c\xff", "http://x.example/" + n,
                            std::string(100, 't'), "p" + n + ".png", std::to_string(i * 1000),
                            std::to_string(i % 9), std::to_string(i % 2)}) +
                    "^";
    }
    const std::string listed = List();
    EXPECT_GT(listed.size(), size_t{8} << 16);
    EXPECT_TRUE(listed == expected + "OK") << listed.substr(0, 300);
}

// The pages that print the ad live on the site's host, perhaps in another folder than the
// scripts: the links lead from the host's root to the scripts' folder, whatever host the
// request names.
TEST_P(Server, TheAdsLinksComeFromTheScriptsFolderNeverFromTheRequest) {
    ASSERT_EQ(Post(AdFields("Shoes")).body, "OK");
    const QDir root(QString::fromStdString(site.Path("")));
    ASSERT_TRUE(root.mkpath("my ads"));
    for (const QString& name : root.entryList({"*.php"}, QDir::Files))
        ASSERT_TRUE(QFile::copy(root.filePath(name), root.filePath("my ads/" + name)));
    const Answer shown =
        Send({site.Url("/my%20ads/qlspshow.php?ad_id=1"), "", "", {{"Host", "evil.example"}}});
    EXPECT_EQ(shown.status, 200);
    EXPECT_NE(shown.body.find("<a href=\"/my%20ads/qlspclick.php?ad_id=1\""), std::string::npos)
        << shown.body;
    EXPECT_NE(shown.body.find("src=\"/my%20ads/Pictures/Shoes.svg\""), std::string::npos);
    EXPECT_EQ(shown.body.find("evil"), std::string::npos);
}

// A host may keep PHP from reading posts itself: the body is then read as the client sent it.
class UnreadBody : public Server {
  protected:
    UnreadBody() : Server({"-d", "enable_post_data_reading=0"}) {}
};

TEST_P(UnreadBody, TheSignedBodyIsReadAsSent) {
    ASSERT_EQ(Post(AdFields("Raw")).body, "OK");
    EXPECT_NE(List().find("\"Raw\",\"Sub\""), std::string::npos);
    RawRequest tampered = Signed(actions, Delete("99"));
    Tamper(tampered);
    RawRequest cut = Signed(actions, Delete("all"));
    cut.body.resize(cut.body.size() - 4);
    for (const auto& [request, body] :
         {std::pair{tampered, "BAD SIGNATURE"},
          {cut, "INCOMPLETE FORM"},
          {Signed(actions, {{"end", ""}, {"action", "5"}}), "INCOMPLETE FORM"}})
        EXPECT_EQ(Send(request).body, body);
    EXPECT_NE(List().find("\"Raw\",\"Sub\""), std::string::npos);
}

const auto kDatabaseName = [](const auto& info) {
    return info.param == Database::SQLite ? "SQLite" : "MariaDB";
};
INSTANTIATE_TEST_SUITE_P(Databases, Server, ::testing::Values(Database::SQLite, Database::MariaDB),
                         kDatabaseName);
INSTANTIATE_TEST_SUITE_P(Databases, UnreadBody,
                         ::testing::Values(Database::SQLite, Database::MariaDB), kDatabaseName);

}  // namespace
