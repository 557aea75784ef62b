#pragma once

#include <QSaveFile>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Streams.h"

// A file written whole or not at all: its bytes go to a temporary file beside it, which Commit
// renames over the old one, so a crash, a full disk or a failed write never leaves it
// half-written. Destroyed without Commit, it leaves the old file (or no file) as it was.
// Writes are unbuffered, so a write the disk refuses fails at once and is never committed.
// Every failure throws std::runtime_error naming the file and the system's reason.
class AtomicFile : public ByteTarget {
  public:
    enum class Access {
        Usual,      // the usual permissions
        OwnerOnly,  // readable and writable by its owner only
    };

    // Throws "Cannot create file ...".
    explicit AtomicFile(const std::string& path, Access access = Access::Usual);

    // Throw "Cannot write file ...".
    void Write(const std::uint8_t* data, std::size_t count) override;
    void Write(std::string_view bytes);
    void Commit();

    // The message of the failure thrown last, or empty. The container engine turns a
    // stream's error into a plain false; this keeps its reason.
    const std::string& Error() const { return error_; }

  private:
    [[noreturn]] void Fail(const char* what);

    std::string path_;
    QSaveFile file_;
    std::string error_;
};

// Writes `bytes` as the whole new content of the file at `path`, through an AtomicFile.
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         AtomicFile::Access access = AtomicFile::Access::Usual);
