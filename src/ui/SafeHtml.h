#pragma once

#include <cstddef>
#include <string>

// HTML from a third party (the news server, the brand's welcome pages) made safe for a text
// view to lay out: Qt's layout of deeply nested elements, above all nested tables, takes time
// that grows steeply with the depth, and deep enough nesting overflows its stack. So:
// - an element that would open deeper than kMaxHtmlDepth, or a table part deeper than
//   kMaxTableDepth tables, loses its tags and keeps its content, flattened into its parent;
// - NUL bytes are dropped;
// - a word of over a thousand bytes gets places where a line may break (zero-width spaces),
//   since a view lays out a long word in time that grows with the square of its length;
// - past kMaxHtmlBytes the text is cut, never inside a tag or a character, and a note says so.
// Everything else passes byte for byte. The views never run scripts either way.
inline constexpr std::size_t kMaxHtmlDepth = 24;
inline constexpr std::size_t kMaxTableDepth = 3;
inline constexpr std::size_t kMaxHtmlBytes = 128 * 1024;

std::string SafeHtml(const std::string& html, std::size_t maxBytes = kMaxHtmlBytes);
