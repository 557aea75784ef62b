#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <string>
#include <variant>

// A picture file read for upload: the name it goes under and its bytes as they are.
struct PictureFile {
    std::string name;
    std::string bytes;
};

// The name a file goes under on the server: every character outside A-Z, a-z, 0-9, ".", "_"
// and "-" becomes "-", and so does a leading dot (which would hide the file); a name longer
// than the server takes is shortened before its extension.
std::string UploadName(const QString& fileName);

// The file at `path` when it is a picture the server takes, with a name that says its type,
// and weighs at most AdService::kMaxPictureBytes; otherwise what the owner is told. A file of
// any size is never read whole when it is too large.
std::variant<PictureFile, std::string> ReadPictureFile(const QString& path);

// `bytes` decoded as a picture no larger than `box`, its proportions kept; a null image when
// they are no picture.
QImage PreviewImage(const std::string& bytes, QSize box);
