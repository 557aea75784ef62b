#pragma once

#include <QDate>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One day's impressions and clicks, of one ad or of several added up.
struct DayTotals {
    std::int64_t impressions = 0;
    std::int64_t clicks = 0;
};

// Every day of a range, oldest first, a day without counts holding zeros.
struct DailySeries {
    QDate first;
    std::vector<DayTotals> days;
};

struct DailyCounts {
    enum class Outcome {
        kRead,
        // The reply is no answer to the daily counts at all: the server does not keep them.
        kNoStatistics,
        // It looks like one but breaks its form; `error` says where.
        kMalformed,
    };
    Outcome outcome = Outcome::kNoStatistics;
    std::string error;
    // Empty unless read: nothing of a malformed reply is shown.
    DailySeries series;
};

// The most rows a reply may hold: a year of a thousand ads fits with room to spare, and a
// reply far larger is a server gone wrong rather than a site.
inline constexpr std::size_t kMaxDailyRows = 500000;

// Reads the reply to the daily counts from `first` to `last`: rows "DAY,ID,IMPRESSIONS,CLICKS"
// each followed by "^", in day and then id order, then "OK". With `ad`, every row must be that
// ad's. The rows of a day are added up.
DailyCounts ReadDailyCounts(std::string_view reply, QDate first, QDate last,
                            std::optional<std::int64_t> ad);
