#include "PictureFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "AdService.h"
#include "Text.h"

namespace {

constexpr size_t kMaxNameLength = 100;

// A picture type the server takes: the format Qt reads it as, the extensions that name it,
// and what the owner reads.
struct PictureType {
    const char* format;
    const char* extensions[2];
    const char* words;
};
constexpr PictureType kTypes[] = {{"jpeg", {"jpg", "jpeg"}, "JPEG"},
                                  {"png", {"png", nullptr}, "PNG"},
                                  {"gif", {"gif", nullptr}, "GIF"},
                                  {"webp", {"webp", nullptr}, "WebP"}};

const PictureType* TypeOfFormat(const QByteArray& format) {
    for (const PictureType& type : kTypes)
        if (format == type.format) return &type;
    return nullptr;
}

const PictureType* TypeOfName(const std::string& name) {
    const QString suffix = QFileInfo(QString::fromStdString(name)).suffix().toLower();
    for (const PictureType& type : kTypes)
        for (const char* extension : type.extensions)
            if (extension && suffix == QLatin1String(extension)) return &type;
    return nullptr;
}

bool Allowed(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

std::string TooLarge(qint64 bytes) {
    return "weighs " + std::to_string((bytes + (1 << 20) - 1) >> 20) +
           " MB, and a picture may weigh at most 5 MB. Please make it smaller and try again.";
}

}  // namespace

std::string UploadName(const QString& fileName) {
    std::string name;
    for (const char32_t c : fileName.toUcs4()) name += Allowed(c) ? char(c) : '-';
    if (name.starts_with('.')) name[0] = '-';
    if (name.size() <= kMaxNameLength) return name;
    const size_t dot = name.rfind('.');
    const std::string extension = name.size() - dot < kMaxNameLength / 2 ? name.substr(dot) : "";
    return name.substr(0, kMaxNameLength - extension.size()) + extension;
}

std::variant<PictureFile, std::string> ReadPictureFile(const QString& path) {
    const QFileInfo info(path);
    const std::string file = "The file \"" + FromQ(info.fileName()) + "\" ";
    const std::string gone = file + "is no longer there. Please choose it again.";
    if (!info.exists()) return gone;
    if (info.size() > AdService::kMaxPictureBytes) return file + TooLarge(info.size());
    QFile opened(path);
    if (!opened.open(QIODevice::ReadOnly))
        return QFileInfo::exists(path) ? file + "could not be read: " + FromQ(opened.errorString())
                                       : gone;
    // A file that grew since it was chosen is still read no further than a picture may go.
    QByteArray bytes = opened.read(AdService::kMaxPictureBytes + 1);
    if (opened.error() != QFileDevice::NoError)
        return file + "could not be read: " + FromQ(opened.errorString());
    if (bytes.size() > AdService::kMaxPictureBytes) return file + TooLarge(bytes.size());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const PictureType* type = TypeOfFormat(reader.format());
    if (!type)
        return file +
               "is not a JPEG, PNG, GIF or WebP picture, the types a web page shows and the "
               "server takes. Please choose a picture of one of them.";
    if (reader.read().isNull())
        return file + "is damaged: it is a " + type->words +
               " file, but the program cannot read the picture in it. Please choose another.";
    const std::string name = UploadName(info.fileName());
    if (TypeOfName(name) != type)
        return file + "holds a " + type->words + " picture, but its name does not end in ." +
               type->extensions[0] +
               ", and the server takes a picture only under a name that tells its type. "
               "Please rename it and try again.";
    return PictureFile{name, bytes.toStdString()};
}

QImage PreviewImage(const std::string& bytes, QSize box) {
    QByteArray data = QByteArray::fromStdString(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Formats that can decode straight to a small size (JPEG) then never hold the whole one.
    const QSize size = reader.size();
    if (!size.isEmpty())
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio).expandedTo({1, 1}));
    const QImage image = reader.read();
    if (image.isNull() || (image.width() <= box.width() && image.height() <= box.height()))
        return image;
    return image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
