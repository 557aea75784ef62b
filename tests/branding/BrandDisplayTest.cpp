#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>

#include "BrandDisplay.h"
#include "BrandProfile.h"
#include "FAbout.h"
#include "TestDir.h"
#include "Text.h"

namespace {

std::string Jpeg(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes.toStdString();
}

// A 1 by 1 GIF.
const std::string kGif(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01"
    "\x00\x00\x00\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01"
    "\x00\x3b",
    43);

// The banner is read where it is stored, never renamed or rewritten, and the panel takes
// its height + 10; without a picture the panel hides.
TEST(BrandDisplay, BannerShowsTheStoredPictureInItsView) {
    const struct {
        const char* file;  // the entry's picture name
        std::string bytes;
        const char* view;  // "animated", "still" or "" for a hidden panel
        int height;
    } cases[] = {
        {"ad.GIF", kGif, "animated", 11},
        {"C:\\pics\\ad.jpg", Jpeg(40, 20), "still", 30},
        {"ad.jpg", "not a picture", "", 0},
        {"ad.gif", Jpeg(8, 8), "", 0},
    };
    for (const auto& c : cases) {
        TestDir dir;
        dir.Write("banner2.dat", c.bytes);
        BrandProfile profile;
        profile.BannerFile = c.file;
        profile.BannerURL = "http://click/";
        profile.BannerNumber = 2;
        QWidget window;
        QWidget panel(&window);
        QLabel still(&panel);
        QLabel animated(&panel);
        window.show();
        ShowBanner(profile, &panel, &still, &animated);
        EXPECT_EQ(panel.isVisible(), !std::string(c.view).empty()) << c.file;
        if (!std::string(c.view).empty()) {
            QLabel& shown = std::string(c.view) == "still" ? still : animated;
            QLabel& other = std::string(c.view) == "still" ? animated : still;
            EXPECT_TRUE(shown.isVisible()) << c.file;
            EXPECT_FALSE(other.isVisible()) << c.file;
            EXPECT_EQ(panel.height(), c.height) << c.file;
            EXPECT_EQ(shown.cursor().shape(), Qt::PointingHandCursor);
        }
        EXPECT_EQ(dir.Read("banner2.dat"), c.bytes) << c.file;
        EXPECT_EQ(QDir(ToQ(dir.Path(""))).entryList(QDir::Files), QStringList{"banner2.dat"});
    }
}

TEST(BrandDisplay, LinksShowWithAFirstLinkOnly) {
    BrandProfile profile;
    QWidget window;
    QWidget panel(&window);
    QLabel link1(&panel), link2(&panel);
    window.show();
    ShowLinks(profile, &panel, &link1, &link2);
    EXPECT_FALSE(panel.isVisible());
    profile.Link1Caption = "Home";
    profile.Link1URL = "http://home/";
    ShowLinks(profile, &panel, &link1, &link2);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(link1.text(), "Home");
    EXPECT_EQ(link1.property("target").toString(), "http://home/");
    EXPECT_EQ(link2.text(), "");
}

TEST(About, ShowsTheBrandOrItsEmptyLines) {
    BrandProfile none;
    TfrmAbout plain(none);
    EXPECT_EQ(plain.windowTitle(), "About ...");
    EXPECT_EQ(plain.findChild<QLabel*>("lblProductVersion")->text(), "Product Version: 2.01");
    EXPECT_EQ(plain.findChild<QLabel*>("lblCopyright1")->text(), "Copyright (c)  ");

    BrandProfile brand;
    brand.ApplicationName = "Ad Pro";
    brand.CopyrightCompany = "Maker";
    brand.AboutText = "one\r\ntwo";
    TfrmAbout about(brand);
    EXPECT_EQ(about.windowTitle(), "About Ad Pro...");
    EXPECT_EQ(about.findChild<QLabel*>("lblProductName")->text(), "Ad Pro");
    EXPECT_EQ(about.findChild<QLabel*>("lblCopyright1")->text(), "Copyright (c)  Maker");
    EXPECT_EQ(about.findChild<QPlainTextEdit*>("memAbout")->blockCount(), 2);
}

// Whatever the brand writes, its texts show as written and the about box opens at once.
TEST(About, HostileBrandTextsShowAsPlainTextAndOpenQuickly) {
    BrandProfile brand;
    brand.ApplicationName = "<b>Bold</b> Co";
    brand.CopyrightCompany = "A  &amp;  B";
    brand.Link1Caption = "<i>Shop</i>";
    for (const std::string& about :
         {std::string(10 << 20, 'a'), std::string(1 << 20, 'b') + "\r\nshort",
          std::string(200000, '\n')}) {
        brand.AboutText = about;
        QElapsedTimer clock;
        clock.start();
        TfrmAbout box(brand);
        box.show();
        QApplication::processEvents();
        EXPECT_LT(clock.elapsed(), 2000) << "a guard against hangs";
        const QString shown = box.findChild<QPlainTextEdit*>("memAbout")->toPlainText();
        EXPECT_LT(shown.size(), 200000);
        EXPECT_TRUE(shown.contains("more bytes not shown"));
        EXPECT_EQ(box.findChild<QLabel*>("lblProductName")->text(), "<b>Bold</b> Co");
        EXPECT_EQ(box.findChild<QLabel*>("lblProductName")->textFormat(), Qt::PlainText);
        EXPECT_EQ(box.findChild<QLabel*>("lblCopyright1")->textFormat(), Qt::PlainText);
    }
    QWidget panel;
    QLabel link1(&panel), link2(&panel);
    ShowLinks(brand, &panel, &link1, &link2);
    EXPECT_EQ(link1.text(), "<i>Shop</i>");
    EXPECT_EQ(link1.textFormat(), Qt::PlainText);
    brand.ApplicationName = std::string(1 << 20, 'n');
    EXPECT_LT(BrandCaption(brand).size(), 300u);
}

TEST(BrandDisplay, BadSkinAndIconFilesDoNoHarm) {
    TestDir dir;
    dir.Write("mainskin.dat", std::string(1, '\0') + "\xff{{{ not a style sheet");
    dir.Write("main.ico", "");
    ApplySkinAndIcon();
    EXPECT_TRUE(QApplication::windowIcon().isNull());
    QLabel label("still drawn");
    EXPECT_FALSE(label.grab().isNull());
    qApp->setStyleSheet(QString());
    EXPECT_EQ(QDir(ToQ(dir.Path(""))).entryList(QDir::Files),
              (QStringList{"main.ico", "mainskin.dat"}));
}

}  // namespace
