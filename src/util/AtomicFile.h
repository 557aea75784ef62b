#pragma once

#include <string>
#include <string_view>

// Writes `bytes` as the whole new content of the file at `path`: to a temporary file beside
// it, then renamed over the old one, so a crash or a full disk never leaves it half-written.
// Throws std::runtime_error naming the file and the system's reason.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
