#pragma once

#include <QString>
#include <cstdint>

// Clicks per hundred impressions as "%.2f%%" would write it, but with the user's decimal
// separator; "0" without impressions. The ad list and the statistics show rates alike.
QString ClickRateText(std::int64_t impressions, std::int64_t clicks);
