#pragma once

#include <string>
#include <string_view>

#include "Streams.h"

// Reads from bytes the caller keeps alive.
class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    std::size_t Read(std::uint8_t* data, std::size_t count) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
    // How many bytes have been read so far.
    std::size_t Position() const { return position_; }

  private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

// Appends everything written to a string.
class StringTarget : public ByteTarget {
  public:
    void Write(const std::uint8_t* data, std::size_t count) override;
    const std::string& Bytes() const { return bytes_; }

  private:
    std::string bytes_;
};
