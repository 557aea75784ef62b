#include "FileStream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace {

std::string FileError(const char* what, const std::string& path, int error) {
    return FileErrorText(what, path, std::system_category().message(error));
}

}  // namespace

std::string FileErrorText(const char* what, const std::string& path, const std::string& reason) {
    return std::string(what) + " \"" + path + "\". " + reason;
}

FileStream::FileStream(const std::string& path, Mode mode) : path_(path) {
    const bool reading = mode == Mode::Read;
    const char* what = reading ? "Cannot open file" : "Cannot create file";
    const mode_t permissions = mode == Mode::CreatePrivate ? 0600 : 0666;
    fd_ = reading ? ::open(path.c_str(), O_RDONLY | O_CLOEXEC)
                  : ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, permissions);
    if (fd_ < 0) throw std::runtime_error(FileError(what, path, errno));

    struct stat info {};
    if (::fstat(fd_, &info) != 0) Fail(what, errno);
    if (S_ISDIR(info.st_mode)) Fail(what, EISDIR);
    if (::flock(fd_, (reading ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) Fail(what, errno);
    if (!reading && S_ISREG(info.st_mode)) {
        if (::ftruncate(fd_, 0) != 0) Fail(what, errno);
        if (mode == Mode::CreatePrivate && ::fchmod(fd_, permissions) != 0) Fail(what, errno);
        info.st_size = 0;
    }
    size_ = info.st_size;
}

FileStream::~FileStream() { ::close(fd_); }

void FileStream::Fail(const char* what, int error) {
    ::close(fd_);
    throw std::runtime_error(FileError(what, path_, error));
}

void FileStream::FailTransfer(const char* what, int error) {
    error_ = FileError(what, path_, error);
    throw std::runtime_error(error_);
}

std::size_t FileStream::Read(std::uint8_t* data, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd_, data + done, count - done);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            FailTransfer("Cannot read file", errno);
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void FileStream::Write(const std::uint8_t* data, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, data + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            FailTransfer("Cannot write file", errno);
        }
        done += static_cast<std::size_t>(n);
    }
}
