#pragma once

#include <cstddef>
#include <string>

// A text from a third party (the brand, a server) as a view may show it: a text view lays out
// a long line in time that grows with the square of its length, so a line longer than
// `maxLine` bytes is cut, and the whole text is cut after `maxBytes`; each cut ends with a
// note that says how long the cut part was. A cut never splits a UTF-8 character.
std::string ShownText(const std::string& text, std::size_t maxBytes, std::size_t maxLine);

// The guard for a caption, a title or a label: one short line's worth.
inline constexpr std::size_t kMaxCaption = 200;
inline std::string ShownCaption(const std::string& text) {
    return ShownText(text, kMaxCaption, kMaxCaption);
}
