// Preloaded by the start-up benchmark into each program it starts, so that the program runs as
// it is, built and linked as its users get it. At the first paint of any of its windows, once
// the window system has taken that paint in, the probe writes to $FIRST_PAINT_REPORT the
// milliseconds since $FIRST_PAINT_START_NS (the monotonic clock, read just before the program
// was started), the peak resident memory of the whole process in kilobytes, and then each
// shared library mapped at that moment, a line each; then it ends the process.
#include <sys/resource.h>
#include <unistd.h>

#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSet>

#include "MonotonicNs.h"

namespace {

QByteArray MappedLibraries() {
    QFile maps("/proc/self/maps");
    if (!maps.open(QIODevice::ReadOnly)) return {};
    const QRegularExpression library(R"((/\S+\.so[.\d]*)$)");
    QSet<QByteArray> seen;
    QByteArray list;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const auto match = library.match(QString::fromLocal8Bit(line));
        if (!match.hasMatch()) continue;
        const QByteArray path = match.captured(1).toLocal8Bit();
        if (!seen.contains(path)) list += path + '\n';
        seen.insert(path);
    }
    return list;
}

class Probe : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            // Queued, so that it runs after the paint has been flushed to the window.
            QMetaObject::invokeMethod(this, &Probe::Report, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    static void Report() {
        QGuiApplication::sync();
        const double ms =
            double(MonotonicNs() - qgetenv("FIRST_PAINT_START_NS").toLongLong()) / 1e6;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        QFile report(qEnvironmentVariable("FIRST_PAINT_REPORT"));
        if (report.open(QIODevice::WriteOnly))
            report.write(QByteArray::number(ms, 'f', 3) + ' ' +
                         QByteArray::number(qlonglong(usage.ru_maxrss)) + '\n' + MappedLibraries());
        report.close();
        // Ended here, the program leaves nothing behind that the next run would find.
        _exit(0);
    }

    bool painted_ = false;
};

void InstallProbe() { QCoreApplication::instance()->installEventFilter(new Probe); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
