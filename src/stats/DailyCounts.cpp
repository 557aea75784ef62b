#include "DailyCounts.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace {

constexpr std::size_t kMaxDigits = 18;

bool IsDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Up to 18 decimal digits, which always fit: no sign, no blank, nothing else.
std::optional<std::int64_t> Count(std::string_view text) {
    if (!IsDigits(text) || text.size() > kMaxDigits) return std::nullopt;
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

int Number(std::string_view text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// YYYY-MM-DD of a day the calendar has.
QDate Day(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !IsDigits(text.substr(0, 4)) ||
        !IsDigits(text.substr(5, 2)) || !IsDigits(text.substr(8, 2)))
        return {};
    return QDate(Number(text.substr(0, 4)), Number(text.substr(5, 2)), Number(text.substr(8, 2)));
}

struct Row {
    QDate day;
    std::int64_t ad = 0;
    DayTotals totals;
};

// The row's fields, or the reason it has none.
std::optional<Row> ReadRow(std::string_view line, std::string& error) {
    std::string_view fields[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t comma = i < 3 ? line.find(',') : line.size();
        if (comma == std::string_view::npos) {
            error = "it has fewer than four fields";
            return std::nullopt;
        }
        fields[i] = line.substr(0, comma);
        line.remove_prefix(comma);
        if (i < 3) line.remove_prefix(1);
    }
    if (fields[3].find(',') != std::string_view::npos) {
        error = "it has more than four fields";
        return std::nullopt;
    }
    Row row;
    row.day = Day(fields[0]);
    const std::optional<std::int64_t> ad = Count(fields[1]);
    const std::optional<std::int64_t> impressions = Count(fields[2]);
    const std::optional<std::int64_t> clicks = Count(fields[3]);
    if (!row.day.isValid())
        error = "\"" + std::string(fields[0]) + "\" is no day of the calendar";
    else if (!ad || *ad < 1)
        error = "\"" + std::string(fields[1]) + "\" is no ad's id";
    else if (!impressions || !clicks)
        error = "a count is not a whole number of at most 18 digits";
    if (!error.empty()) return std::nullopt;
    row.ad = *ad;
    row.totals = {*impressions, *clicks};
    return row;
}

DailyCounts Malformed(std::size_t row, const std::string& why) {
    return {DailyCounts::Outcome::kMalformed, "row " + std::to_string(row) + ": " + why, {}};
}

}  // namespace

DailyCounts ReadDailyCounts(std::string_view reply, QDate first, QDate last,
                            std::optional<std::int64_t> ad) {
    const std::size_t end = reply.find_last_not_of(" \t\r\n");
    reply = reply.substr(0, end == std::string_view::npos ? 0 : end + 1);
    if (reply != "OK" && !reply.ends_with("^OK")) return {};
    reply.remove_suffix(2);
    std::size_t rows = 0;
    for (const char c : reply) rows += c == '^';
    if (rows > kMaxDailyRows)
        return {DailyCounts::Outcome::kMalformed,
                "the server sent " + std::to_string(rows) + " rows, more than the " +
                    std::to_string(kMaxDailyRows) + " a reply may hold",
                {}};

    DailySeries series{first, std::vector<DayTotals>(std::max<qint64>(first.daysTo(last) + 1, 0))};
    std::optional<std::pair<QDate, std::int64_t>> previous;
    for (std::size_t number = 1; !reply.empty(); ++number) {
        const std::size_t caret = reply.find('^');
        std::string error;
        const std::optional<Row> row = ReadRow(reply.substr(0, caret), error);
        reply.remove_prefix(caret + 1);
        if (!row) return Malformed(number, error);
        if (row->day < first || row->day > last)
            return Malformed(number, "its day is outside the range asked for");
        if (ad && row->ad != *ad) return Malformed(number, "it is another ad's");
        const std::pair key{row->day, row->ad};
        if (previous && key <= *previous)
            return Malformed(number, "it is out of the order of days and ids");
        previous = key;
        DayTotals& day = series.days[first.daysTo(row->day)];
        if (__builtin_add_overflow(day.impressions, row->totals.impressions, &day.impressions) ||
            __builtin_add_overflow(day.clicks, row->totals.clicks, &day.clicks))
            return Malformed(number, "the day's counts are too large to add up");
    }
    return {DailyCounts::Outcome::kRead, {}, std::move(series)};
}
