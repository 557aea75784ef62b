// The reply to the daily counts, read for a month of all ads and for one ad; a reply read
// must hold every day of the range and nothing but whole counts.
#include <cstdlib>

#include "DailyCounts.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string reply = Bytes(data, size);
    const QDate first(2025, 12, 15), last(2026, 1, 13);
    for (const std::optional<std::int64_t> ad : {std::optional<std::int64_t>(), {7}}) {
        const DailyCounts counts = ReadDailyCounts(reply, first, last, ad);
        const bool read = counts.outcome == DailyCounts::Outcome::kRead;
        if (read != (counts.series.days.size() == 30)) std::abort();
        for (const DayTotals& day : counts.series.days)
            if (day.impressions < 0 || day.clicks < 0) std::abort();
    }
    return 0;
}
