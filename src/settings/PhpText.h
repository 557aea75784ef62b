#pragma once

#include <string>
#include <string_view>

// `bytes` as the inside of a PHP double-quoted string that PHP reads back as exactly those
// bytes: backslash, double quote and dollar sign are escaped, and control bytes are written
// as \xHH, so the text stays on one line. Other bytes, those above 127 included, stand as
// they are.
std::string PhpDoubleQuoted(std::string_view bytes);
