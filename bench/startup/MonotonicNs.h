#pragma once

#include <ctime>

// Nanoseconds on the monotonic clock, which every process of the machine shares.
inline long long MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}
