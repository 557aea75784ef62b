#pragma once

#include <cstddef>
#include <string>

// The secret the program shares with the owner's server, which the server settings script
// carries there: 32 random bytes as 64 lowercase hex digits. It never travels with a request.
inline constexpr std::size_t kOwnerKeyBytes = 32;

// `count` bytes as lowercase hex digits.
std::string LowerHex(const unsigned char* bytes, std::size_t count);

// `bytes` bytes from the system's cryptographic random source, as lowercase hex digits.
// Throws std::runtime_error when the source fails.
std::string RandomHex(std::size_t bytes);

// A new owner key.
std::string NewOwnerKey();

// Whether `text` is a key: exactly 64 hex digits (of either letter case).
bool IsOwnerKey(const std::string& text);
