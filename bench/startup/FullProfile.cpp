#include "FullProfile.h"

#include <QFile>

#include "ProtectFile.h"
#include "Text.h"

namespace {

void Write(const std::string& path, const std::string& bytes) {
    QFile file(ToQ(path));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string Tag(const std::string& name, const std::string& value) {
    return "<%%" + name + "%%>" + value + "<%%/" + name + "%%>\r\n";
}

// An animated GIF of about `bytes` bytes: one-pixel frames, looping.
std::string AnimatedGif(size_t bytes) {
    std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff", 19);
    gif += std::string("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    const std::string frame(
        "\x21\xf9\x04\x00\x05\x00\x00\x00\x2c\x00\x00\x00\x00\x01\x00\x01"
        "\x00\x00\x02\x02\x44\x01\x00",
        23);
    while (gif.size() + frame.size() < bytes) gif += frame;
    return gif + ";";
}

}  // namespace

void WriteFullProfile(const std::string& dir) {
    std::string plain = Tag("ApplicationName", "Full Brand") + Tag("BranderType", "Gold") +
                        Tag("GoldNewsBaseURL", "http://news.invalid/") + Tag("GoldPublID", "1") +
                        Tag("AboutText", "About\r\nthe brand");
    const std::string page = "<html><body>" + std::string(20 * 1024, 'w') + "</body></html>";
    const std::string gif = AnimatedGif(100 * 1024);
    for (int n = 1; n <= 16; ++n) plain += Tag("Welcome" + std::to_string(n), page);
    for (int n = 1; n <= 16; ++n) {
        plain += Tag("Banner" + std::to_string(n), "banner.gif^http://click.invalid/");
        Write(dir + "/banner" + std::to_string(n) + ".dat", gif);
    }
    for (int n = 1; n <= 16; ++n)
        plain +=
            Tag("Link" + std::to_string(n), "Link " + std::to_string(n) + "^http://l.invalid/");
    Write(dir + "/profile.txt", plain);
    ProtectFile(dir + "/profile.txt", dir + "/dbsettings.dat");
    QFile::remove(ToQ(dir + "/profile.txt"));
}
