#include "NaturalOrder.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>

#include "Ascii.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The run of digits at `pos` without its leading zeros; `pos` moves past the run.
std::string_view DigitRun(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && text[pos] == '0' && pos + 1 < text.size() && IsDigit(text[pos + 1]))
        ++pos;
    const std::size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    return text.substr(start, pos - start);
}

// Appends to `key` the bytes of `text`'s key: keys compared as plain bytes order their texts
// naturally. A letter is folded; a run of digits becomes "0" (against any other byte it
// compares as a digit would), its length in four bytes, most significant first (a longer run
// is a larger number), and its digits.
void AppendKey(std::string_view text, std::string& key) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (!IsDigit(text[pos])) {
            key += AsciiLower(text[pos++]);
            continue;
        }
        const std::string_view run = DigitRun(text, pos);
        const auto length = static_cast<std::uint32_t>(run.size());
        key += '0';
        for (int shift = 24; shift >= 0; shift -= 8) key += static_cast<char>(length >> shift);
        key += run;
    }
}

struct Key {
    std::uint64_t head;  // eight bytes of the key from where the keys begin to differ
    std::size_t offset, size;
    std::uint32_t index;
};

}  // namespace

// The keys lie one after another, so that a sort compares short bytes close together rather
// than texts spread over a whole list, and most comparisons end at the heads, without leaving
// the array being sorted.
std::vector<std::uint32_t> NaturalSortOrder(
    std::size_t count, const std::function<std::string_view(std::size_t)>& text, bool descending) {
    std::string bytes;
    std::vector<Key> keys(count);
    for (std::size_t i = 0; i < count; ++i) {
        keys[i] = {0, bytes.size(), 0, static_cast<std::uint32_t>(i)};
        AppendKey(text(i), bytes);
        keys[i].size = bytes.size() - keys[i].offset;
    }
    const auto keyOf = [&](const Key& key) {
        return std::string_view(bytes).substr(key.offset, key.size);
    };
    std::size_t shared = std::numeric_limits<std::size_t>::max();
    for (const Key& key : keys) {
        const std::string_view a = keyOf(keys[0]), b = keyOf(key);
        shared = std::min({shared, a.size(), b.size()});
        shared = static_cast<std::size_t>(
            std::mismatch(a.begin(), a.begin() + shared, b.begin()).first - a.begin());
    }
    for (Key& key : keys)
        for (std::size_t i = shared; i < shared + 8; ++i)
            key.head = key.head << 8 |
                       (i < key.size ? static_cast<unsigned char>(bytes[key.offset + i]) : 0u);
    const auto before = [&](const Key& a, const Key& b) {
        return a.head != b.head ? a.head < b.head : keyOf(a) < keyOf(b);
    };
    std::stable_sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        return descending ? before(b, a) : before(a, b);
    });
    std::vector<std::uint32_t> order(count);
    for (std::size_t i = 0; i < count; ++i) order[i] = keys[i].index;
    return order;
}
