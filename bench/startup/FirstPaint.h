#pragma once

#include <sys/resource.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <cstdio>
#include <ctime>

inline long long NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// Prints the time from `startNs` to the first paint of the watched window, in milliseconds,
// and the process's peak memory in kilobytes, then ends the process.
class FirstPaint : public QObject {
  public:
    explicit FirstPaint(long long startNs) : startNs_(startNs) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            std::printf("%.3f %ld\n", (NowNs() - startNs_) / 1e6, usage.ru_maxrss);
            std::fflush(stdout);
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    long long startNs_;
    bool done_ = false;
};
