// Natural order over texts that tell its rules apart: case, digit runs against each other
// and against the bytes on either side of the digits, leading zeros, long runs, bytes above
// 0x7F, empty texts; stable for texts that compare equal, both ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "NaturalOrder.h"

namespace {

TEST(NaturalOrder, SortsAsPeopleReadAndKeepsTheOrderOfEqualTexts) {
    // Ascending; the texts of one group compare equal.
    const std::vector<std::vector<std::string>> groups = {
        {""},
        {"!"},
        {"0", "00"},
        {"7", "007"},
        {"9"},
        {"10"},
        {"a", "A"},
        {"a/"},
        {"a1", "a01", "A1"},
        {"a2"},
        {"a9z"},
        {"a10"},
        {"a10b"},
        {"a100"},
        {"a:"},
        {"ab"},
        {"x" + std::string(255, '9')},
        {"x" + std::string(256, '1')},
        {"z"},
        {"\xC3\xA9"},
    };
    std::vector<std::string> texts;
    std::vector<int> rank;
    for (int g = 0; g < int(groups.size()); ++g)
        for (const std::string& text : groups[size_t(g)]) {
            texts.push_back(text);
            rank.push_back(g);
        }
    std::reverse(texts.begin(), texts.end());
    std::reverse(rank.begin(), rank.end());
    for (const bool descending : {false, true}) {
        std::vector<std::uint32_t> expected(texts.size());
        for (std::uint32_t i = 0; i < expected.size(); ++i) expected[i] = i;
        std::stable_sort(expected.begin(), expected.end(), [&](std::uint32_t a, std::uint32_t b) {
            return descending ? rank[a] > rank[b] : rank[a] < rank[b];
        });
        const std::vector<std::uint32_t> order = NaturalSortOrder(
            texts.size(), [&](std::size_t i) { return std::string_view(texts[i]); }, descending);
        std::vector<std::string> got, want;
        for (size_t i = 0; i < texts.size(); ++i) {
            got.push_back(texts[order.at(i)].substr(0, 12));
            want.push_back(texts[expected[i]].substr(0, 12));
        }
        EXPECT_EQ(got, want) << (descending ? "descending" : "ascending");
        EXPECT_EQ(order, expected) << "equal texts keep their order";
    }
    EXPECT_TRUE(NaturalSortOrder(
                    0, [](std::size_t) { return std::string_view(); }, false)
                    .empty());
}

}  // namespace
