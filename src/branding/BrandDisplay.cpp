#include "BrandDisplay.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QPixmap>
#include <string>

#include "AppDir.h"
#include "BrandProfile.h"
#include "ShownText.h"
#include "Text.h"

namespace {

constexpr int kBannerMargin = 10;

// The file-name part of a banner's picture name: everything after its last "\", ":" or "/".
std::string FileNamePart(const std::string& name) {
    const size_t cut = name.find_last_of("\\:/");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

void ShowIn(QWidget* panel, QLabel* shown, QLabel* hidden, QSize size) {
    hidden->hide();
    shown->resize(size);
    shown->show();
    panel->setFixedHeight(size.height() + kBannerMargin);
}

}  // namespace

void ShowBanner(const BrandProfile& profile, QWidget* panel, QLabel* still, QLabel* animated) {
    if (!profile.BannerURL.empty()) {
        still->setCursor(Qt::PointingHandCursor);
        animated->setCursor(Qt::PointingHandCursor);
    }
    const QString stored =
        ToQ(BrandFilePath("banner" + std::to_string(profile.BannerNumber) + ".dat"));
    if (profile.BannerFile.empty() || !QFileInfo::exists(stored)) {
        panel->hide();
        return;
    }
    // The stored file is read where it lies, never renamed: the picture name only tells
    // the format.
    const QString picture = ToQ(AppFilePath(FileNamePart(profile.BannerFile)));
    if (picture.toLower().contains(QLatin1String(".gif"))) {
        auto* movie = new QMovie(stored, "gif", animated);
        if (movie->isValid() && movie->jumpToFrame(0)) {
            animated->setMovie(movie);
            movie->start();
            ShowIn(panel, animated, still, movie->frameRect().size());
            return;
        }
        delete movie;
    } else {
        QImageReader reader(stored, QFileInfo(picture).suffix().toLower().toLatin1());
        const QImage image = reader.read();
        if (!image.isNull()) {
            still->setPixmap(QPixmap::fromImage(image));
            ShowIn(panel, still, animated, image.size());
            return;
        }
    }
    panel->hide();  // no picture in the file
}

void ShowLinks(const BrandProfile& profile, QWidget* panel, QLabel* link1, QLabel* link2) {
    panel->setVisible(!profile.Link1Caption.empty());
    for (QLabel* link : {link1, link2}) link->setTextFormat(Qt::PlainText);
    link1->setText(ToQ(ShownCaption(profile.Link1Caption)));
    link1->setProperty("target", ToQ(profile.Link1URL));
    link2->setText(ToQ(ShownCaption(profile.Link2Caption)));
    link2->setProperty("target", ToQ(profile.Link2URL));
}

void ApplySkinAndIcon() {
    QFile skin(ToQ(BrandFilePath("mainskin.dat")));
    if (skin.open(QIODevice::ReadOnly)) qApp->setStyleSheet(QString::fromUtf8(skin.readAll()));
    // A file no picture reader takes (an empty one, say) leaves the icon as it is.
    const QString icon = ToQ(BrandFilePath("main.ico"));
    if (QImageReader(icon).canRead()) QApplication::setWindowIcon(QIcon(icon));
}
