// The cost of a year of daily counts of a thousand ads (365,000 rows): the reply read and
// the chart drawn from it, beside reading it alone, which is what the drawing adds to.
//
// Usage: stats_bench [RUNS]      prints each figure as "median (min to max)" milliseconds
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "DailyChart.h"
#include "DailyCounts.h"
#include "Stats.h"

namespace {

constexpr int kDays = 365;
constexpr int kAds = 1000;

std::string YearOfReplies(QDate first) {
    std::string reply;
    reply.reserve(static_cast<std::size_t>(kDays) * kAds * 24);
    for (int day = 0; day < kDays; ++day) {
        const std::string date = first.addDays(day).toString(Qt::ISODate).toStdString();
        for (int ad = 1; ad <= kAds; ++ad)
            reply += date + "," + std::to_string(ad) + "," +
                     std::to_string(100 + (day * ad) % 900) + "," +
                     std::to_string((day + ad) % 17) + "^";
    }
    return reply + "OK";
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    const QDate last(2026, 12, 31);
    const QDate first = last.addDays(1 - kDays);
    const std::string reply = YearOfReplies(first);

    QWidget window;
    window.resize(760, 420);
    DailyChart* chart = NewDailyChart(&window);
    chart->resize(window.size());
    window.show();

    std::size_t days = 0;
    const auto read = [&] {
        const DailyCounts counts = ReadDailyCounts(reply, first, last, std::nullopt);
        if (counts.outcome != DailyCounts::Outcome::kRead) std::abort();
        days += counts.series.days.size();
        return counts;
    };
    const std::vector<Stats> stats =
        TimeAlternating(runs, {{[&] { read(); }}, {[&] {
                                   chart->Show(read().series);
                                   days += static_cast<std::size_t>(chart->grab().width() > 0);
                               }}});
    std::printf("%d rows (%zu bytes), %d runs, milliseconds\n", kDays * kAds, reply.size(), runs);
    std::printf("read alone:      ");
    stats[0].Print("%.1f");
    std::printf("\nread and drawn:  ");
    stats[1].Print("%.1f");
    std::printf("\n");
    return days > 0 ? 0 : 1;
}
