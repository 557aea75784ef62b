#include "OwnerKey.h"

#include <openssl/rand.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

std::string LowerHex(const unsigned char* bytes, std::size_t count) {
    constexpr const char* kDigits = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * count);
    for (std::size_t i = 0; i < count; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 0xF];
    }
    return hex;
}

std::string RandomHex(std::size_t bytes) {
    std::vector<unsigned char> random(bytes);
    if (RAND_bytes(random.data(), static_cast<int>(bytes)) != 1)
        throw std::runtime_error("The system's random source failed");
    return LowerHex(random.data(), random.size());
}

std::string NewOwnerKey() { return RandomHex(kOwnerKeyBytes); }

bool IsOwnerKey(const std::string& text) {
    return text.size() == 2 * kOwnerKeyBytes && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
           });
}
