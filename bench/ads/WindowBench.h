#pragma once

// The main window's ad list at 10,000, 100,000 and 1,000,000 ads, from Refresh's click to
// the rows painted, beside the bare libcurl floor, with the whole process's memory; then
// Select All, a header sort and a refresh of a sorted list at a million ads.
void BenchWindow(int runs);
