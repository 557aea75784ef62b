#pragma once

#include <string>
#include <string_view>

// `text` with every occurrence of `from` (not empty) replaced by `to`, left to right,
// byte for byte.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
