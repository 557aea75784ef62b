#include <gtest/gtest.h>

#include "DailyCounts.h"

namespace {

using Outcome = DailyCounts::Outcome;

const QDate kFirst(2025, 12, 30);
const QDate kLast(2026, 1, 2);

struct Day {
    std::int64_t impressions;
    std::int64_t clicks;
};

std::vector<Day> Days(const DailySeries& series) {
    std::vector<Day> days;
    for (const DayTotals& day : series.days) days.push_back({day.impressions, day.clicks});
    return days;
}

bool operator==(const Day& a, const Day& b) {
    return a.impressions == b.impressions && a.clicks == b.clicks;
}

// A reply of `rows` rows of one ad's single day each, from ever later days.
std::string ManyRows(std::size_t rows) {
    std::string reply;
    reply.reserve(rows * 24);
    for (std::size_t i = 0; i < rows; ++i) reply += "2026-01-01," + std::to_string(i + 1) + ",1,0^";
    return reply + "OK";
}

TEST(DailyCounts, AWellFormedReplyIsAddedUpPerDayWithGapsAsZeros) {
    const struct {
        const char* what;
        std::string reply;
        std::optional<std::int64_t> ad;
        std::vector<Day> days;
    } cases[] = {
        {"no counts", "OK", std::nullopt, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}},
        {"blank after", "OK \r\n", std::nullopt, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}},
        {"ads of a day added up, across the year",
         "2025-12-31,2,10,1^2025-12-31,11,5,4^2026-01-02,2,7,0^OK",
         std::nullopt,
         {{0, 0}, {15, 5}, {0, 0}, {7, 0}}},
        {"one ad, both ends of the range",
         "2025-12-30,4,1,0^2026-01-02,4,999999999999999999,3^OK",
         4,
         {{1, 0}, {0, 0}, {0, 0}, {999999999999999999, 3}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DailyCounts counts = ReadDailyCounts(c.reply, kFirst, kLast, c.ad);
        ASSERT_EQ(counts.outcome, Outcome::kRead) << counts.error;
        EXPECT_EQ(counts.series.first, kFirst);
        EXPECT_EQ(Days(counts.series), c.days);
    }
}

TEST(DailyCounts, AnythingElseIsRefusedWithItsReasonAndNothingRead) {
    const std::string huge = ManyRows(1000000);
    const struct {
        std::string reply;
        Outcome outcome;
        std::string error;
    } cases[] = {
        {"BAD", Outcome::kNoStatistics, ""},
        {"UNKNOWN ACTION", Outcome::kNoStatistics, ""},
        {"", Outcome::kNoStatistics, ""},
        {"<html>OK</html>", Outcome::kNoStatistics, ""},
        {"2026-01-01,1,1,1^", Outcome::kNoStatistics, ""},
        {"^OK", Outcome::kMalformed, "row 1: it has fewer than four fields"},
        {"2026-01-01,1,1^OK", Outcome::kMalformed, "row 1: it has fewer than four fields"},
        {"2026-01-01,1,1,1,1^OK", Outcome::kMalformed, "row 1: it has more than four fields"},
        {"2026-01-01,1,1,1^^OK", Outcome::kMalformed, "row 2: it has fewer than four fields"},
        {"2026-02-30,1,1,1^OK", Outcome::kMalformed,
         "row 1: \"2026-02-30\" is no day of the calendar"},
        {"2026-1-01,1,1,1^OK", Outcome::kMalformed,
         "row 1: \"2026-1-01\" is no day of the calendar"},
        {"+2026-01-01,1,1,1^OK", Outcome::kMalformed,
         "row 1: \"+2026-01-01\" is no day of the calendar"},
        {"2026-01-01,0,1,1^OK", Outcome::kMalformed, "row 1: \"0\" is no ad's id"},
        {"2026-01-01,-3,1,1^OK", Outcome::kMalformed, "row 1: \"-3\" is no ad's id"},
        {"2026-01-01,1,-1,1^OK", Outcome::kMalformed,
         "row 1: a count is not a whole number of at most 18 digits"},
        {"2026-01-01,1,1, 1^OK", Outcome::kMalformed,
         "row 1: a count is not a whole number of at most 18 digits"},
        {"2026-01-01,1,123456789012345678901234567890,1^OK", Outcome::kMalformed,
         "row 1: a count is not a whole number of at most 18 digits"},
        {"2025-12-29,1,1,1^OK", Outcome::kMalformed,
         "row 1: its day is outside the range asked for"},
        {"2026-01-03,1,1,1^OK", Outcome::kMalformed,
         "row 1: its day is outside the range asked for"},
        {"2026-01-01,2,1,1^2026-01-01,1,1,1^OK", Outcome::kMalformed,
         "row 2: it is out of the order of days and ids"},
        {"2026-01-02,1,1,1^2026-01-01,2,1,1^OK", Outcome::kMalformed,
         "row 2: it is out of the order of days and ids"},
        {"2026-01-01,1,1,1^2026-01-01,1,1,1^OK", Outcome::kMalformed,
         "row 2: it is out of the order of days and ids"},
        {"2026-01-01,1,999999999999999999,0^2026-01-01,2,999999999999999999,0^"
         "2026-01-01,3,999999999999999999,0^2026-01-01,4,999999999999999999,0^"
         "2026-01-01,5,999999999999999999,0^2026-01-01,6,999999999999999999,0^"
         "2026-01-01,7,999999999999999999,0^2026-01-01,8,999999999999999999,0^"
         "2026-01-01,9,999999999999999999,0^2026-01-01,10,999999999999999999,0^OK",
         Outcome::kMalformed, "row 10: the day's counts are too large to add up"},
        {huge, Outcome::kMalformed,
         "the server sent 1000000 rows, more than the 500000 a reply may hold"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.substr(0, 80));
        const DailyCounts counts = ReadDailyCounts(c.reply, kFirst, kLast, std::nullopt);
        EXPECT_EQ(counts.outcome, c.outcome);
        EXPECT_EQ(counts.error, c.error);
        EXPECT_TRUE(counts.series.days.empty());
    }
    // Rows of another ad than the one asked for are no answer to the question.
    const DailyCounts other = ReadDailyCounts("2026-01-01,5,1,1^OK", kFirst, kLast, 4);
    EXPECT_EQ(other.outcome, Outcome::kMalformed);
    EXPECT_EQ(other.error, "row 1: it is another ad's");
    // The most rows a reply may hold are read.
    EXPECT_EQ(ReadDailyCounts(ManyRows(kMaxDailyRows), kFirst, kLast, std::nullopt).outcome,
              Outcome::kRead);
}

}  // namespace
