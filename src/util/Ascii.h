#pragma once

#include <string_view>

// Byte rules that never depend on a locale: names, markers and protocol words are compared
// and trimmed byte by byte.

// `c` with A-Z made a-z; every other byte as it is.
inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// Blanks, line breaks and every control byte: the bytes up to 0x20.
inline bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// `text` without the bytes at either end for which `blank` holds.
inline std::string_view Trimmed(std::string_view text, bool (*blank)(char)) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}
