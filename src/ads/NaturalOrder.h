#pragma once

#include <string_view>

// Orders texts as people read them: letters a to z in either case alike, and runs of digits
// by their value ("ad9" before "ad10"); other bytes by their value. Negative, zero or
// positive, as a comes before, with or after b.
int NaturalCompare(std::string_view a, std::string_view b);
