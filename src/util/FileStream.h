#pragma once

#include <sys/types.h>

#include <string>

#include "Streams.h"

// The text of a file error: `what` (such as "Cannot open file"), the quoted path and the
// system's reason.
std::string FileErrorText(const char* what, const std::string& path, const std::string& reason);

// A file for the container engine. Opening follows the protected files' sharing rules as far
// as POSIX allows, with advisory locks: a file open for reading takes a shared lock, so others
// may go on reading and writing it; a created file takes an exclusive lock, so no other
// FileStream can open it while this one lives. The lock is taken before a file is emptied, so
// a file cannot be destroyed by creating it while it is being read.
class FileStream : public ByteSource, public ByteTarget {
  public:
    enum class Mode {
        Read,           // an existing file
        Create,         // a new or emptied file, with the usual permissions
        CreatePrivate,  // the same, readable and writable by the owner only
    };

    // Throws "Cannot open file "%s". %s" (reading) or "Cannot create file "%s". %s" with the
    // path and the system's reason.
    FileStream(const std::string& path, Mode mode);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    std::size_t Read(std::uint8_t* data, std::size_t count) override;
    void Write(const std::uint8_t* data, std::size_t count) override;
    // The size when the file was opened.
    std::int64_t Size() const override { return size_; }
    // The message of the last read or write that failed, or empty. The engine turns a
    // stream's error into a plain false; this keeps its reason.
    const std::string& Error() const { return error_; }

  private:
    [[noreturn]] void Fail(const char* what, int error);
    [[noreturn]] void FailTransfer(const char* what, int error);

    std::string path_;
    int fd_ = -1;
    std::int64_t size_ = 0;
    std::string error_;
};
