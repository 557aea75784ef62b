#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// `text` read as a signed 32-bit decimal number: digits with an optional "+" or "-" in front
// and nothing else; nullopt for anything else, an empty text or a number out of range.
std::optional<std::int32_t> ParseInt32(std::string_view text);
