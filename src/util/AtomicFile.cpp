#include "AtomicFile.h"

#include <stdexcept>

#include "FileStream.h"
#include "Text.h"

AtomicFile::AtomicFile(const std::string& path, Access access) : path_(path), file_(ToQ(path)) {
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) Fail("Cannot create file");
    // Set on the temporary file, before any byte is in it; the rename keeps it.
    if (access == Access::OwnerOnly &&
        !file_.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        Fail("Cannot create file");
}

void AtomicFile::Write(const std::uint8_t* data, std::size_t count) {
    if (file_.write(reinterpret_cast<const char*>(data), static_cast<qint64>(count)) !=
        static_cast<qint64>(count))
        Fail("Cannot write file");
}

void AtomicFile::Write(std::string_view bytes) {
    Write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

void AtomicFile::Commit() {
    if (!file_.commit()) Fail("Cannot write file");
}

void AtomicFile::Fail(const char* what) {
    error_ = FileErrorText(what, path_, FromQ(file_.errorString()));
    throw std::runtime_error(error_);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         AtomicFile::Access access) {
    AtomicFile file(path, access);
    file.Write(bytes);
    file.Commit();
}
