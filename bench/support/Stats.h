#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

// Figures of repeated runs: the median and the spread from the fastest to the slowest.
struct Stats {
    std::vector<double> values;

    double Median() const {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    }
    double Min() const { return *std::min_element(values.begin(), values.end()); }
    double Max() const { return *std::max_element(values.begin(), values.end()); }
    // "median (min to max)" with the given format for each figure.
    void Print(const char* format) const {
        std::printf(format, Median());
        std::printf(" (");
        std::printf(format, Min());
        std::printf(" to ");
        std::printf(format, Max());
        std::printf(")");
    }
};

// A piece of work to time, and what it needs done before each run, untimed.
struct Work {
    std::function<void()> run;
    std::function<void()> prepare = [] {};
};

// Runs each piece of work `runs` times, the pieces alternating so that a change in the
// machine's load hits all alike; the milliseconds of each run.
inline std::vector<Stats> TimeAlternating(int runs, const std::vector<Work>& works) {
    using Clock = std::chrono::steady_clock;
    std::vector<Stats> stats(works.size());
    for (int run = 0; run < runs; ++run) {
        for (size_t i = 0; i < works.size(); ++i) {
            works[i].prepare();
            const auto start = Clock::now();
            works[i].run();
            const std::chrono::duration<double, std::milli> took = Clock::now() - start;
            stats[i].values.push_back(took.count());
        }
    }
    return stats;
}
