#include "NaturalOrder.h"

#include <cstddef>

#include "Ascii.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

unsigned char Folded(char c) { return static_cast<unsigned char>(AsciiLower(c)); }

// The run of digits at `pos` without its leading zeros; `pos` moves past the run.
std::string_view DigitRun(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && text[pos] == '0' && pos + 1 < text.size() && IsDigit(text[pos + 1]))
        ++pos;
    const std::size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    return text.substr(start, pos - start);
}

}  // namespace

int NaturalCompare(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::string_view x = DigitRun(a, i);
            const std::string_view y = DigitRun(b, j);
            if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
            if (const int order = x.compare(y); order != 0) return order;
            continue;
        }
        if (Folded(a[i]) != Folded(b[j])) return Folded(a[i]) < Folded(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}
