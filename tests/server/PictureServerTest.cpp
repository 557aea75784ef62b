// The actions script's picture upload on its own, with raw signed posts over a real SQLite
// site: what lands in Pictures/, what is refused, and what a killed upload leaves.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QThread>
#include <QUrl>

#include "AdSite.h"
#include "QtPrinters.h"
#include "SignedRequests.h"
#include "SiteSettings.h"
#include "TestPictures.h"

namespace {

FormFields Upload(const std::string& name, const std::string& bytes,
                  const char* replace = nullptr) {
    FormFields fields = {{"action", "6"}, {"ad_picture", name}, {"picture_data", bytes}};
    if (replace) fields.emplace_back("replace", replace);
    fields.emplace_back("end", "");
    return fields;
}

FormFields AddAd(const std::string& title, const std::string& picture) {
    return {{"action", "2"},         {"ad_id", ""},      {"ad_title", title},
            {"ad_subtitle", ""},     {"ad_url", ""},     {"ad_text", ""},
            {"ad_picture", picture}, {"ad_enable", "1"}, {"ad_impressions", "0"},
            {"ad_clicks", "0"},      {"end", ""}};
}

std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    const size_t start = text.find(from);
    if (start == std::string::npos) return "";
    const size_t end = text.find(to, start + from.size());
    return text.substr(start + from.size(), end - start - from.size());
}

class PictureServer : public ::testing::Test {
  protected:
    PictureServer() {
        site.Configure(database);
        site.Upload(SettingsScript(database, database.dbhostname));
    }
    Answer Post(const FormFields& fields) const { return Send(Signed(actions, fields)); }
    // The picture's bytes as the Pictures folder holds them, or "(absent)".
    std::string Stored(const std::string& name) const {
        QFile file(QString::fromStdString(site.Path("Pictures/" + name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(absent)";
    }
    // Every file of the Pictures folder, hidden ones too.
    QStringList Folder() const {
        return QDir(QString::fromStdString(site.Path("Pictures")))
            .entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    AdSite site{Database::SQLite};
    SiteSettings database;
    const std::string actions = site.Url("/qlspactions.php");
    const std::string png = PictureBytes("PNG", 64, 48);
    const std::string jpeg = PictureBytes("JPEG", 64, 48);
};

TEST_F(PictureServer, PicturesLandByteForByteAndTheDisplayScriptShowsThem) {
    ASSERT_TRUE(QDir(QString::fromStdString(site.Path("Pictures"))).removeRecursively());
    const std::string longest = std::string(96, 'n') + ".png";
    const std::string camera = "IMG_0001.JPG";
    for (const auto& [name, bytes] : {std::pair{std::string("shot.png"), png},
                                      {std::string("photo.jpeg"), jpeg},
                                      {std::string("banner.webp"), PictureBytes("WEBP", 64, 48)},
                                      {camera, jpeg},
                                      {longest, png}}) {
        SCOPED_TRACE(name);
        const Answer answer = Post(Upload(name, bytes));
        EXPECT_EQ(answer.status, 200);
        EXPECT_EQ(answer.body, "OK");
        EXPECT_TRUE(Stored(name) == bytes);
    }
    EXPECT_EQ(Folder(), QStringList({QString::fromStdString(camera), "banner.webp",
                                     QString::fromStdString(longest), "photo.jpeg", "shot.png"}));
    ASSERT_EQ(Post(AddAd("Shot", "shot.png")).body, "OK");
    ASSERT_EQ(Post(AddAd("Photo", "photo.jpeg")).body, "OK");
    for (const auto& [id, bytes] : {std::pair{"1", png}, {"2", jpeg}}) {
        const Answer shown = Send({site.Url(std::string("/qlspshow.php?ad_id=") + id)});
        ASSERT_EQ(shown.status, 200);
        const std::string src = Between(shown.body, "<img src=\"", "\"");
        ASSERT_EQ(src.rfind("/Pictures/", 0), 0u) << shown.body;
        const Answer picture = Send({site.Url(src)});
        EXPECT_EQ(picture.status, 200);
        EXPECT_TRUE(picture.body == bytes) << src;
    }
}

TEST_F(PictureServer, EveryOtherUploadIsRefusedAndStoresNothing) {
    RawRequest unsigned_ = Signed(actions, Upload("stranger.png", png));
    unsigned_.headers.clear();
    const std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\"><script>alert(1)</script>"
        "</svg>";
    const struct {
        RawRequest request;
        int status;
        std::string body;
    } cases[] = {
        {Signed(actions, Upload("x.png", "<?php echo 'owned'; ?>")), 400, "BAD PICTURE"},
        {Signed(actions, Upload("x.jpg", png)), 400, "BAD PICTURE"},
        {Signed(actions, Upload("x.gif", png.substr(0, 8))), 400, "BAD PICTURE"},
        {Signed(actions, Upload("x.png", "")), 400, "BAD PICTURE"},
        {Signed(actions, Upload("../x.png", png)), 400, "BAD PICTURE NAME"},
        {Signed(actions, Upload("..", png)), 400, "BAD PICTURE NAME"},
        {Signed(actions, Upload(".x.png", png)), 400, "BAD PICTURE NAME"},
        {Signed(actions, Upload("x.svg", svg)), 400, "BAD PICTURE NAME"},
        {Signed(actions, Upload("x.php", png)), 400, "BAD PICTURE NAME"},
        {Signed(actions, Upload("x.png.php", png)), 400, "BAD PICTURE NAME"},
        {Signed(actions, Upload("x y.png", png)), 400, "BAD PICTURE NAME"},
        {Signed(actions, Upload("x.png\n", png)), 400, "BAD PICTURE NAME"},
        {Signed(actions, Upload("", png)), 400, "BAD PICTURE NAME"},
        {Signed(actions, Upload(std::string(97, 'n') + ".png", png)), 400, "BAD PICTURE NAME"},
        {Signed(actions, Upload("big.png", PictureBytes("PNG", 1450, 1450, true))), 400,
         "PICTURE TOO LARGE"},
        {Signed(actions, {{"action", "6"}, {"ad_picture", "x.png"}, {"end", ""}}), 400,
         "MISSING FIELD picture_data"},
        {unsigned_, 403, "BAD SIGNATURE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request.body.substr(0, 300));
        const Answer answer = Send(c.request);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_EQ(answer.body, c.body);
    }
    EXPECT_EQ(Folder(), QStringList());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(site.Path("x.png"))));
}

TEST_F(PictureServer, APictureOfTheSameNameIsKeptUnlessReplaced) {
    ASSERT_EQ(Post(Upload("logo.png", png)).body, "OK");
    const std::string other = PictureBytes("PNG", 10, 10);
    for (const char* replace : {static_cast<const char*>(nullptr), "0", "yes"}) {
        const Answer kept = Post(Upload("logo.png", other, replace));
        EXPECT_EQ(kept.status, 200);
        EXPECT_EQ(kept.body, "EXIST PICTURE");
    }
    EXPECT_TRUE(Stored("logo.png") == png);
    EXPECT_EQ(Post(Upload("logo.png", other, "1")).body, "OK");
    EXPECT_TRUE(Stored("logo.png") == other);
    EXPECT_EQ(Folder(), QStringList{"logo.png"});
}

// The request as PHP's web server reads it off the wire.
QByteArray Wire(const RawRequest& request, int port) {
    QByteArray wire =
        "POST /qlspactions.php HTTP/1.0\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
        "\r\nContent-Type: " + QByteArray::fromStdString(request.contentType) +
        "\r\nContent-Length: " + QByteArray::number(qsizetype(request.body.size())) + "\r\n";
    for (const auto& [name, value] : request.headers) wire += name + ": " + value + "\r\n";
    return wire + "\r\n" + QByteArray::fromStdString(request.body);
}

// PHP killed at moments spread over a replacing upload, from the post's arrival to its reply: the
// page's picture is the old one or the new one, whole, and nothing else takes a name a page
// could show. Later uploads clear what killed ones left, once it is old enough to be no
// upload's under way.
TEST_F(PictureServer, AKilledUploadLeavesTheOldPictureOrTheNewOneWhole) {
    ASSERT_EQ(Post(Upload("kept.png", png)).body, "OK");
    const std::string fresh = PictureBytes("PNG", 1200, 1300, true);
    ASSERT_LT(fresh.size(), size_t{5} << 20);
    // Kills PHP `killAfterMs` after the post has gone out, or after its reply when negative;
    // the time from the post to the reply when it came.
    const auto upload = [&](int killAfterMs) {
        auto php = std::make_unique<PhpWebServer>(site.Path(""));
        const int port = QUrl(QString::fromStdString(php->Url())).port();
        QTcpSocket socket;
        socket.connectToHost("127.0.0.1", quint16(port));
        EXPECT_TRUE(socket.waitForConnected(5000));
        socket.write(Wire(Signed(actions, Upload("kept.png", fresh, "1")), port));
        while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(5000)) continue;
        QElapsedTimer posted;
        posted.start();
        if (killAfterMs < 0) {
            while (socket.waitForReadyRead(10000)) continue;
            EXPECT_TRUE(socket.readAll().endsWith("\r\n\r\nOK"));
        }
        const qint64 answered = posted.elapsed();
        QThread::msleep(std::max(killAfterMs, 0));
        php.reset();  // SIGKILL
        const std::string stored = Stored("kept.png");
        EXPECT_TRUE(stored == png || stored == fresh) << stored.size() << " bytes";
        for (const QString& name : Folder())
            EXPECT_TRUE(name == "kept.png" || name.startsWith(".upload-")) << name.toStdString();
        return answered;
    };
    // The whole upload first, to spread the kills over the time it takes here.
    const qint64 whole = upload(-1);
    EXPECT_TRUE(Stored("kept.png") == fresh);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(site.Path("Pictures/kept.png"))));
    ASSERT_EQ(Post(Upload("kept.png", png)).body, "OK");
    constexpr int kKills = 16;
    for (int kill = 0; kill <= kKills; ++kill) {
        SCOPED_TRACE(kill);
        upload(int(whole * kill / kKills));
    }

    const QString folder = QString::fromStdString(site.Path("Pictures/"));
    for (const QString& name : Folder())
        if (name.startsWith(".upload-")) QFile::remove(folder + name);
    for (const char* name : {".upload-old", ".upload-new"}) {
        QFile left(folder + name);
        ASSERT_TRUE(left.open(QIODevice::WriteOnly));
        left.write("half a picture");
        left.flush();
        if (name == std::string(".upload-old"))
            left.setFileTime(QDateTime::currentDateTime().addSecs(-7200),
                             QFileDevice::FileModificationTime);
    }
    EXPECT_EQ(Post(Upload("later.png", png)).body, "OK");
    EXPECT_EQ(Folder(), QStringList({".upload-new", "kept.png", "later.png"}));
}

}  // namespace
