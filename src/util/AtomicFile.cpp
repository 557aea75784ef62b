#include "AtomicFile.h"

#include <QSaveFile>
#include <stdexcept>

#include "FileStream.h"
#include "Text.h"

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    QSaveFile file(ToQ(path));
    const auto fail = [&](const char* what) {
        throw std::runtime_error(FileErrorText(what, path, FromQ(file.errorString())));
    };
    if (!file.open(QIODevice::WriteOnly)) fail("Cannot create file");
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit())
        fail("Cannot write file");
}
