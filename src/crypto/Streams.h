#pragma once

#include <cstddef>
#include <cstdint>

// The container engine works on caller-owned byte streams from their current positions and
// never seeks. A stream reports a failure by throwing.

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads up to `count` bytes; fewer only at the end of the data.
    virtual std::size_t Read(std::uint8_t* data, std::size_t count) = 0;
    // Total size of the data in bytes.
    virtual std::int64_t Size() const = 0;
};

class ByteTarget {
  public:
    virtual ~ByteTarget() = default;
    // Writes all `count` bytes.
    virtual void Write(const std::uint8_t* data, std::size_t count) = 0;
};
