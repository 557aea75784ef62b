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
    // Unbuffered: a write the disk refuses must fail here, not in a buffer flushed on commit,
    // whose failure would go unnoticed and leave the file cut short.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) fail("Cannot create file");
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit())
        fail("Cannot write file");
}
