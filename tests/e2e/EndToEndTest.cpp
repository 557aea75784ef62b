// The program's own client code against the reference scripts, served by PHP on loopback
// over a real SQLite file and a real MariaDB server.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>

#include "AdListModel.h"
#include "AdService.h"
#include "AdSite.h"
#include "FSettings.h"
#include "HttpClient.h"
#include "OwnersPage.h"
#include "Php.h"
#include "ServerScript.h"
#include "SiteSettings.h"
#include "TestDir.h"
#include "TestPictures.h"

namespace {

class StopMariaDB : public ::testing::Environment {
    void TearDown() override { AdSite::StopMariaDB(); }
};
const auto* const kStop = ::testing::AddGlobalTestEnvironment(new StopMariaDB);

struct Answer {
    int status = 0;
    std::string body;
};

// A raw GET of `url`, to read what the program's client never asks for.
Answer Ask(const std::string& url) {
    QNetworkAccessManager network;
    QNetworkReply* reply = network.get(QNetworkRequest(QUrl(QString::fromStdString(url))));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                  reply->readAll().toStdString()};
    delete reply;
    return answer;
}

std::string Quoted(const std::vector<std::string>& values) {
    std::string record;
    for (const std::string& value : values)
        record += (record.empty() ? "\"" : ",\"") + value + "\"";
    return record;
}

class EndToEnd : public ::testing::TestWithParam<Database> {
  protected:
    // The owner types the site and the database values into the Settings dialog; its Ok
    // writes the server settings script, which the owner then uploads.
    EndToEnd() : site(GetParam()) {
        settings.actionsscript = kActionsScript;
        SiteSettings typed;
        site.Configure(typed);
        TfrmSettings dialog(settings);
        for (const auto& [name, value] : {std::pair{"edtSite", typed.webserver},
                                          {"edtHostname", typed.dbhostname},
                                          {"edtDatabase", typed.dbdatabase},
                                          {"edtUsername", typed.dbusername},
                                          {"edtPassword", typed.dbpassword},
                                          {"edtAdsWidth", std::string("320")}})
            dialog.findChild<QLineEdit*>(name)->setText(QString::fromStdString(value));
        dialog.findChild<QComboBox*>("cbxAdsUnits")->setCurrentText("px");
        dialog.findChild<QPushButton*>("btnOk")->click();
        site.Upload(program.Read(kServerScriptFile));
        client.SetReadTimeout(30000);
    }
    AdRecord Ad(const std::string& title, const std::string& enable = "1") const {
        return {"",
                title,
                "Sub " + title,
                "http://example.com/" + title,
                "About " + title,
                title + ".svg",
                "0",
                "0",
                enable};
    }
    std::string Fetched(const std::string& id) {
        std::string record;
        EXPECT_TRUE(service.FetchAd(id, record));
        return record;
    }

    TestDir program;
    AdSite site;
    SiteSettings settings;
    HttpClient client;
    AdService service{client, settings.webserver, settings.actionsscript, settings.ownerkey};
    AdListModel list;
};

TEST_P(EndToEnd, TheOwnerAddsListsEditsFetchesAndDeletesAds) {
    ASSERT_TRUE(service.CheckService());
    const std::string odd = "Caf\xC3\xA9 \"50%\" l'ami & <b> $x \\n";
    AdRecord first = Ad(odd);
    EXPECT_EQ(service.AddAd(first), AdService::kDone);
    EXPECT_EQ(service.AddAd(first), AdService::kRefused);
    EXPECT_EQ(service.AddAd(Ad("Second", "0")), AdService::kDone);

    ASSERT_TRUE(service.LoadAdList(list));
    ASSERT_EQ(list.rowCount(), 2);
    const auto cell = [&](int row, int column) {
        return list.data(list.index(row, column), Qt::DisplayRole).toString().toStdString();
    };
    EXPECT_EQ(cell(0, kColumnTitle), odd);
    EXPECT_EQ(cell(0, kColumnUrl), "http://example.com/" + odd);
    EXPECT_EQ(cell(0, kColumnRate), "0");
    EXPECT_EQ(cell(0, kColumnStatus), "Active");
    EXPECT_EQ(cell(1, kColumnStatus), "No Active");
    const std::string id = list.HiddenId(0), second = list.HiddenId(1);
    EXPECT_EQ(Fetched(id), Quoted({id, odd, "Sub " + odd, "http://example.com/" + odd,
                                   "About " + odd, odd + ".svg", "0", "0", "1"}));

    first.ad_id = id;
    first.ad_text = "Two\r\nlines";
    first.ad_enable = "0";
    EXPECT_EQ(service.EditAd(first), AdService::kDone);
    EXPECT_NE(Fetched(id).find("\"Two\r\nlines\",\"" + odd + ".svg\",\"0\",\"0\",\"0\""),
              std::string::npos);
    first.ad_id = "999999";
    EXPECT_EQ(service.EditAd(first), AdService::kRefused);

    EXPECT_TRUE(service.DeleteAds(second));
    std::string gone;
    EXPECT_FALSE(service.FetchAd(second, gone));
    EXPECT_TRUE(service.DeleteAds("all"));
    ASSERT_TRUE(service.LoadAdList(list));
    EXPECT_EQ(list.rowCount(), 0);
}

// A visitor's page made of both snippets shows the ad, counts its impression, and its link
// counts the click: the owner's list then shows the rate. Visitors arriving together lose
// no count.
// The program's own upload, signed over a body of binary bytes, against the real script; the
// editor fetches what the pages show.
TEST_P(EndToEnd, TheOwnerUploadsPicturesAndFetchesThemBack) {
    using Upload = AdService::Upload;
    const std::string photo = PictureBytes("PNG", 1200, 1300, true);
    const std::string other = PictureBytes("PNG", 30, 20);
    const std::string jpeg = PictureBytes("JPEG", 30, 20);
    const struct {
        std::string name, bytes;
        bool replace;
        Upload::Outcome outcome;
        std::string reason;
    } cases[] = {
        {"photo.png", photo, false, Upload::kDone, ""},
        {"photo.png", other, false, Upload::kExists, ""},
        {"photo.jpg", jpeg, false, Upload::kDone, ""},
        {"photo.jpeg", other, false, Upload::kRefused, "BAD PICTURE"},
        {"photo.png", other, false, Upload::kExists, ""},
        {"notes.png", "plain text", false, Upload::kRefused, "BAD PICTURE"},
        {"../photo.png", other, true, Upload::kRefused, "BAD PICTURE NAME"},
    };
    for (const auto& c : cases) {
        const Upload sent = service.UploadPicture(c.name, c.bytes, c.replace);
        EXPECT_EQ(sent.outcome, c.outcome) << c.name;
        EXPECT_EQ(sent.reason, c.reason) << c.name;
    }
    EXPECT_TRUE(service.FetchPicture("photo.png") == photo);
    EXPECT_EQ(service.UploadPicture("photo.png", other, true).outcome, Upload::kDone);
    EXPECT_TRUE(service.FetchPicture("photo.png") == other);
    EXPECT_EQ(service.FetchPicture("missing.png"), std::nullopt);
}

TEST_P(EndToEnd, VisitorsSeeTheAdAndTheirViewsAndClicksMakeTheRate) {
    ASSERT_EQ(service.AddAd(Ad("Shoes")), AdService::kDone);
    ASSERT_EQ(service.AddAd(Ad("Hidden", "0")), AdService::kDone);
    const OwnersPage pages(settings.webserver);
    PhpWebServer pageServer(pages.Folder());

    // Two visits by one visitor, the second with the cookie the first set.
    const std::string visits =
        RunPhp({"-d", "extension=curl", "-r",
                "$c = curl_init($argv[1]); curl_setopt($c, CURLOPT_RETURNTRANSFER, true);"
                "curl_setopt($c, CURLOPT_COOKIEFILE, ''); echo curl_exec($c), '|', curl_exec($c);",
                QString::fromStdString(pageServer.Url("/page.php"))});
    // The display script's links lead from the site's root, never from a Host a request names.
    const std::string shown = "<a href=\"/qlspclick.php?ad_id=1\"";
    EXPECT_NE(visits.find("<p>My page</p><div class=\"qlspad\" style=\"width:320px;"),
              std::string::npos)
        << visits;
    EXPECT_NE(visits.find("|<p>My page</p><div"), std::string::npos) << visits;
    EXPECT_NE(visits.find(shown), std::string::npos);
    EXPECT_NE(visits.find("src=\"/Pictures/Shoes.svg\""), std::string::npos);
    EXPECT_EQ(visits.find("Hidden"), std::string::npos);

    const Answer click = Ask(site.Url("/qlspclick.php?ad_id=1"));
    EXPECT_EQ(click.status, 302);
    ASSERT_TRUE(service.LoadAdList(list));
    EXPECT_EQ(list.data(list.index(0, kColumnRate), Qt::DisplayRole).toString(), "50.00%");

    std::vector<std::unique_ptr<QProcess>> visitors;
    for (int i = 0; i < 8; ++i) {
        visitors.push_back(std::make_unique<QProcess>());
        visitors.back()->start("php",
                               {"-r", "for ($i = 0; $i < 25; ++$i) file_get_contents($argv[1]);",
                                QString::fromStdString(site.Url("/qlspgetid.php?lastadid=0"))});
    }
    for (auto& visitor : visitors) EXPECT_TRUE(visitor->waitForFinished(60000));
    EXPECT_NE(Fetched("1").find("\",\"202\",\"1\",\"1\""), std::string::npos) << Fetched("1");
}

// A clock an hour off, either way, does not lock the owner out: the server's refusal gives its
// own time, and the request is signed once more by it.
TEST_P(EndToEnd, TheOwnersRequestsPassWithItsClockAnHourOff) {
    for (const int skew : {3600, -3600}) {
        AdService skewed(client, settings.webserver, settings.actionsscript, settings.ownerkey,
                         [skew] { return QDateTime::currentDateTime().addSecs(skew); });
        ASSERT_TRUE(skewed.CheckService()) << skew;
        EXPECT_EQ(skewed.AddAd(Ad("Skewed" + std::to_string(skew))), AdService::kDone);
        EXPECT_EQ(skewed.LastRefusal(), AdService::Refusal::kNone);
    }
    ASSERT_TRUE(service.LoadAdList(list));
    EXPECT_EQ(list.rowCount(), 2);
}

// A database made by an earlier version of the scripts is brought up to date on first use,
// its ads kept.
TEST_P(EndToEnd, AnOlderSchemaIsMigratedInPlace) {
    const QString older =
        "require $argv[1]; $db = qlsp_connect(qlsp_settings(), 1);"
        "if ($argv[2] === 'add') $db->exec(\"INSERT INTO qlsp_ads (ad_title, ad_subtitle, ad_url, "
        "ad_text, ad_picture) VALUES ('Old', '', '', '', '')\"); echo qlsp_schema_version($db);";
    const QStringList php = {"-d",
                             "extension=pdo",
                             "-d",
                             "extension=pdo_sqlite",
                             "-d",
                             "extension=mysqlnd",
                             "-d",
                             "extension=pdo_mysql",
                             "-r",
                             older,
                             QString::fromStdString(site.Path("qlspcommon.php"))};
    EXPECT_EQ(RunPhp(php + QStringList{"add"}), "1");
    ASSERT_TRUE(service.LoadAdList(list));
    EXPECT_EQ(RunPhp(php + QStringList{"read"}), "4");
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.data(list.index(0, kColumnTitle), Qt::DisplayRole).toString(), "Old");
}

INSTANTIATE_TEST_SUITE_P(Databases, EndToEnd,
                         ::testing::Values(Database::SQLite, Database::MariaDB),
                         [](const auto& info) {
                             return info.param == Database::SQLite ? "SQLite" : "MariaDB";
                         });

}  // namespace
