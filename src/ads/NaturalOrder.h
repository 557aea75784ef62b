#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

// Natural order, as people read texts: letters a to z in either case alike, runs of digits by
// their value ("ad9" before "ad10", "ad007" as "ad7"), other bytes by their value, a run of
// digits against another byte as a digit would. The order of the `count` texts that `text`
// gives by index, as their indices: ascending or descending, texts that compare equal in
// their first order either way.
std::vector<std::uint32_t> NaturalSortOrder(
    std::size_t count, const std::function<std::string_view(std::size_t)>& text, bool descending);
