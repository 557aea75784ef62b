#pragma once

#include <string>

#include "DailyCounts.h"

// The statistics table as CSV (RFC 4180): a header line, then a line for each day, oldest
// first, each ended by CR LF; a field holding a comma, a quote or a line break is quoted.
std::string StatsCsv(const DailySeries& series);
