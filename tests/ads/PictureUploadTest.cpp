// The editor's Upload... against a scripted server: what it sends, what each answer does to
// the Picture box, and the files it refuses before sending anything.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "AdEditing.h"
#include "AdList.h"
#include "EditorFlow.h"
#include "PictureFile.h"
#include "TestPictures.h"

namespace {

using Reply = ScriptedHttpServer::Reply;

const char* const kUnknownAction = "warning:This server cannot receive pictures";

class PictureUpload : public AdEditingFlow {
  protected:
    QString Write(const QString& name, const std::string& bytes) const {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qsizetype(bytes.size()));
        return file.fileName();
    }
    static QLineEdit& PictureBox(QWidget& d) { return *d.findChild<QLineEdit*>("edtAdPicture"); }
    static bool ShowsPicture(QWidget& d) {
        return !d.findChild<QLabel*>("imgPicture")->pixmap().isNull();
    }
    // The names of the fields of a request's form, in their order.
    std::vector<std::string> FieldNames(size_t request) const {
        const std::string body = server.Requests().at(request).body;
        std::vector<std::string> names;
        const std::string marker = "Content-Disposition: form-data; name=\"";
        for (size_t at = body.find(marker); at != std::string::npos; at = body.find(marker, at)) {
            at += marker.size();
            names.push_back(body.substr(at, body.find('"', at) - at));
        }
        return names;
    }

    QTemporaryDir folder;
    const std::string png = PictureBytes("PNG", 40, 30);
};

TEST_F(PictureUpload, EachAnswerOfTheServerFillsTheBoxOrSaysWhy) {
    const Reply ok{200, "OK", {}, "OK"};
    const Reply exists{200, "OK", {}, "EXIST PICTURE"};
    const struct {
        const char* what;
        std::vector<Reply> replies;
        std::deque<bool> answers;        // to the question whether to replace
        std::vector<std::string> shown;  // each message's kind and beginning
        bool filled;
    } cases[] = {
        {"accepted", {ok}, {}, {}, true},
        {"replaced", {exists, ok}, {true}, {"question:Your server already holds"}, true},
        {"kept", {exists}, {false}, {"question:Your server already holds"}, false},
        {"kept after all",
         {exists, exists},
         {true},
         {"question:Your server already holds", "warning:Your server kept the picture"},
         false},
        {"an older server that knows actions",
         {{400, "Bad Request", {}, "UNKNOWN ACTION"}},
         {},
         {kUnknownAction},
         false},
        {"an older server that answers nothing",
         {{200, "OK", {}, ""}},
         {},
         {kUnknownAction},
         false},
        {"not really a picture",
         {{400, "Bad Request", {}, "BAD PICTURE"}},
         {},
         {"warning:Your server refused the file: it is not a picture of the type"},
         false},
        {"PHP's post limit",
         {{413, "Too Large", {}, "TOO LARGE"}},
         {},
         {"warning:Your server refused the picture: its PHP setting post_max_size"},
         false},
        {"a refusal of a newer server",
         {{400, "Bad Request", {}, "DISK FULL\r\n"}},
         {},
         {"warning:Your server refused the picture: DISK FULL"},
         false},
        {"a stranger's key",
         {{403, "Forbidden", {}, "BAD SIGNATURE"}},
         {},
         {"warning:Your server refused the request: the owner key"},
         false},
        {"a broken server",
         {{500, "Server Error", {}, "SERVER ERROR"}},
         {},
         {"warning:There is a trouble uploading this picture"},
         false},
    };
    const QString path = Write("my photo \xC3\xA9.png", png);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = server.RequestCount();
        for (const Reply& reply : c.replies) server.Push(reply);
        messages.shown.clear();
        messages.answers = c.answers;
        bool waited = false;
        const bool ran = WithEditor(
            {[&](QWidget& d) {
                PictureBox(d).setText("typed.gif");
                chooser.path = path;
                // While the picture is on its way nothing else may be sent, nor the editor
                // closed.
                QTimer::singleShot(0, &d, [&] {
                    waited = !d.findChild<QPushButton*>("btnOk")->isEnabled() &&
                             !d.findChild<QPushButton*>("btnCancel")->isEnabled() &&
                             !d.findChild<QPushButton*>("btnUpload")->isEnabled();
                });
                d.findChild<QPushButton*>("btnUpload")->click();
                EXPECT_EQ(PictureBox(d).text(), c.filled ? "my-photo--.png" : "typed.gif");
                EXPECT_EQ(ShowsPicture(d), c.filled);
                d.close();
            }},
            [&] { AddPictureAd(list, service, client, messages, chooser, nullptr); });
        EXPECT_TRUE(ran);
        EXPECT_TRUE(waited);
        ASSERT_EQ(server.RequestCount(), before + c.replies.size());
        EXPECT_EQ(FieldNames(before),
                  (std::vector<std::string>{"action", "ad_picture", "picture_data", "end"}));
        EXPECT_EQ(Field(before, "action"), "6");
        EXPECT_EQ(Field(before, "ad_picture"), "my-photo--.png");
        EXPECT_TRUE(Field(before, "picture_data") == png);
        if (c.replies.size() == 2) {
            EXPECT_EQ(FieldNames(before + 1),
                      (std::vector<std::string>{"action", "ad_picture", "picture_data", "replace",
                                                "end"}));
        }
        ASSERT_EQ(messages.shown.size(), c.shown.size());
        for (size_t i = 0; i < c.shown.size(); ++i)
            EXPECT_EQ(messages.KindsAndTexts()[i].rfind(c.shown[i], 0), 0u)
                << messages.KindsAndTexts()[i];
    }
}

// Whether anything read the file at `path` since the watch began.
class ReadWatch {
  public:
    explicit ReadWatch(const QString& path) : fd_(inotify_init1(IN_NONBLOCK)) {
        inotify_add_watch(fd_, QFile::encodeName(path).constData(), IN_ACCESS);
    }
    ~ReadWatch() { close(fd_); }
    bool Read() const {
        char event[sizeof(inotify_event) + 256];
        return read(fd_, event, sizeof event) > 0;
    }

  private:
    int fd_;
};

TEST_F(PictureUpload, FilesThatAreNoPictureForTheServerAreRefusedBeforeSending) {
    const QString huge = folder.filePath("huge.png");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64{1} << 30));  // sparse: no gigabyte is written
    }
    std::string cut = png;
    cut.resize(cut.size() - 30);
    const QString vanishing = Write("gone.png", png);
    const struct {
        QString path;
        std::string message;
        std::function<void()> meanwhile;  // while the file dialog is open
    } cases[] = {
        {Write("notes.png", "These are notes, not a picture."),
         "The file \"notes.png\" is not a JPEG, PNG, GIF or WebP picture"},
        {Write("scan.bmp", PictureBytes("BMP", 8, 8)),
         "The file \"scan.bmp\" is not a JPEG, PNG, GIF or WebP picture"},
        {huge, "The file \"huge.png\" weighs 1024 MB, and a picture may weigh at most 5 MB."},
        {Write("cut.png", cut), "The file \"cut.png\" is damaged: it is a PNG file, but"},
        {Write("photo.jpg", png),
         "The file \"photo.jpg\" holds a PNG picture, but its name does "
         "not end in .png"},
        {vanishing, "The file \"gone.png\" is no longer there. Please choose it again.",
         [&] { QFile::remove(vanishing); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const ReadWatch watch(huge);
        messages.shown.clear();
        chooser.beforeHanding = c.meanwhile;
        const bool ran =
            WithEditor({[&](QWidget& d) {
                           chooser.path = c.path;
                           d.findChild<QPushButton*>("btnUpload")->click();
                           EXPECT_EQ(PictureBox(d).text(), "");
                           d.close();
                       }},
                       [&] { AddPictureAd(list, service, client, messages, chooser, nullptr); });
        EXPECT_TRUE(ran);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text.rfind(c.message, 0), 0u) << messages.shown[0].text;
        EXPECT_FALSE(watch.Read()) << "a gigabyte is refused before it is read";
    }
    EXPECT_EQ(server.RequestCount(), 0u);
}

TEST(PictureName, WhatTheServerCannotTakeBecomesADash) {
    const std::string stem(120, 'a');
    const struct {
        QString file;
        std::string sent;
    } cases[] = {
        {"Summer_sale-2.JPG", "Summer_sale-2.JPG"},
        {"my photo \xC3\xA9.png", "my-photo--.png"},
        {"\xF0\x9F\x98\x80.gif", "-.gif"},
        {".hidden.png", "-hidden.png"},
        {"a;b$(c)'d\".webp", "a-b--c--d-.webp"},
        {QString::fromStdString(stem + ".jpeg"), std::string(95, 'a') + ".jpeg"},
        {QString::fromStdString(stem), std::string(100, 'a')},
    };
    for (const auto& c : cases) EXPECT_EQ(UploadName(c.file), c.sent) << c.file.toStdString();
}

// An ad being edited shows the server's copy of its picture, fetched once as the editor
// opens; the Picture box keeps half the width of the others and Upload... and the picture fit
// beside it.
TEST_F(PictureUpload, AnExistingAdShowsTheServersCopyOfItsPicture) {
    const std::string record =
        "\"3\",\"T\",\"S\",\"U\",\"C\",\"summer sale.png\",\"0\",\"0\",\"1\"";
    FillAdList(list, record + "^OK");
    const struct {
        Reply picture;
        bool shown;
    } cases[] = {
        {{200, "OK", {}, PictureBytes("JPEG", 400, 100)}, true},
        {{200, "OK", {}, png.substr(0, png.size() / 2)}, false},
        {{200, "OK", {}, std::string(4096, '\xFF')}, false},
        {{404, "Not Found", {}, "<html>No such file</html>"}, false},
    };
    for (const auto& c : cases) {
        view.setCurrentIndex(list.index(0, 0));
        const size_t before = server.RequestCount();
        server.PushBody(record + "^OK");
        server.Push(c.picture);
        const bool ran = WithEditor(
            {[&](QWidget& d) {
                EXPECT_EQ(ShowsPicture(d), c.shown);
                const QSize box = d.findChild<QLabel*>("imgPicture")->size();
                const QRect title = d.findChild<QLineEdit*>("edtAdTitle")->geometry();
                const QRect picture = PictureBox(d).geometry();
                for (const char* name : {"btnUpload", "imgPicture"}) {
                    const QRect beside = d.findChild<QWidget*>(name)->geometry();
                    EXPECT_GT(beside.left(), picture.right()) << name;
                    EXPECT_LE(beside.right(), title.right()) << name;
                    EXPECT_GE(beside.top(), picture.top()) << name;
                    EXPECT_LE(beside.bottom(), picture.bottom()) << name;
                }
                EXPECT_NEAR(picture.width(), title.width() / 2, 6);
                if (c.shown) {
                    const QPixmap shown = d.findChild<QLabel*>("imgPicture")->pixmap();
                    EXPECT_LE(shown.width(), box.width());
                    EXPECT_NEAR(shown.width(), shown.height() * 4, 4);
                }
                // Another name in the box is another picture.
                PictureBox(d).setText("other.png");
                EXPECT_FALSE(ShowsPicture(d));
                d.close();
            }},
            [&] { EditPictureAd(view, list, service, client, messages, chooser, nullptr); });
        EXPECT_TRUE(ran);
        ASSERT_EQ(server.RequestCount(), before + 2);
        EXPECT_EQ(server.Requests()[before + 1].requestLine,
                  "GET /Pictures/summer%20sale.png HTTP/1.1");
        EXPECT_FALSE(server.Requests()[before + 1].HasHeader("X-Quillspot-Signature"));
    }
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
