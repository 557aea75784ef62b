#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// libFuzzer's input as the byte string every parser of the program takes.
inline std::string Bytes(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}
