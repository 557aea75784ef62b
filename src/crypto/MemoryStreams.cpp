#include "MemoryStreams.h"

#include <algorithm>
#include <cstring>

std::size_t MemorySource::Read(std::uint8_t* data, std::size_t count) {
    const std::size_t n = std::min(count, bytes_.size() - position_);
    if (n > 0) std::memcpy(data, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

void StringTarget::Write(const std::uint8_t* data, std::size_t count) {
    bytes_.append(reinterpret_cast<const char*>(data), count);
}
