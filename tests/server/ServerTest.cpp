// The reference scripts on their own, served by PHP on loopback over a real SQLite file and a
// real MariaDB server, spoken to with raw requests: strangers' and forged posts are refused,
// bad requests and settings get short refusals, and nothing of PHP leaks into a reply.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>

#include "AdSite.h"
#include "OwnerSignature.h"
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
        {post({{"action", "7"}, {"end", ""}}), 400, "UNKNOWN ACTION"},
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
