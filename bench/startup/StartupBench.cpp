// Measures the time from process start to the main window's first paint, and the peak
// memory at that moment, beside the same figures for a bare Qt window shown the same way.
// Each figure is the median over several fresh processes.
//
// Usage: startup_bench [runs]
#include <sys/resource.h>

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "AppDir.h"
#include "FMain.h"
#include "Messages.h"
#include "Shell.h"
#include "Text.h"

namespace {

long long NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// Reports the first paint of the watched window and ends the process.
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

int Child(int argc, char** argv, const std::string& kind, long long startNs) {
    QApplication app(argc, argv);
    FirstPaint probe(startNs);
    QtMessages messages;
    ProcessShell shell;
    if (kind == "main") {
        QTemporaryDir empty;  // no brand profile, no site settings: no network either
        SetAppDirForTesting(FromQ(empty.path()));
        TfrmMain window(messages, shell);
        window.FormCreate();
        window.installEventFilter(&probe);
        window.show();
        return app.exec();
    }
    QWidget window;
    window.resize(TfrmMain::kDesignWidth, TfrmMain::kDesignHeight);
    window.installEventFilter(&probe);
    window.show();
    return app.exec();
}

struct Figures {
    double ms;
    double peakMb;
};

Figures RunOnce(const QString& self, const char* kind) {
    QProcess child;
    const long long start = NowNs();
    child.start(self, {"--child", kind, QString::number(start)});
    child.waitForFinished(60000);
    double ms = 0;
    long kb = 0;
    if (std::sscanf(child.readAllStandardOutput().constData(), "%lf %ld", &ms, &kb) != 2) {
        std::fprintf(stderr, "child '%s' reported nothing\n", kind);
        std::exit(1);
    }
    return {ms, kb / 1024.0};
}

struct Samples {
    std::vector<double> ms, mb;
    void Add(const Figures& f) {
        ms.push_back(f.ms);
        mb.push_back(f.peakMb);
    }
    Figures Median() {
        std::sort(ms.begin(), ms.end());
        std::sort(mb.begin(), mb.end());
        return {ms[ms.size() / 2], mb[mb.size() / 2]};
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--child")
        return Child(argc, argv, argv[2], std::stoll(argv[3]));

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    RunOnce(self, "bare");  // warm the file cache for both

    // Alternate the two so that a change in the machine's load hits both alike.
    Samples bareRuns, mainRuns;
    for (int i = 0; i < runs; ++i) {
        bareRuns.Add(RunOnce(self, "bare"));
        mainRuns.Add(RunOnce(self, "main"));
    }
    const Figures bare = bareRuns.Median();
    const Figures main = mainRuns.Median();
    std::printf("platform: %s, median of %d runs\n", qgetenv("QT_QPA_PLATFORM").constData(), runs);
    std::printf("%-12s %14s %14s\n", "window", "first paint", "peak memory");
    std::printf("%-12s %11.1f ms %11.1f MB\n", "bare Qt", bare.ms, bare.peakMb);
    std::printf("%-12s %11.1f ms %11.1f MB\n", "main window", main.ms, main.peakMb);
    std::printf("time ratio %.2f (target <= 1.50), memory difference %+.1f MB (target <= 20)\n",
                main.ms / bare.ms, main.peakMb - bare.peakMb);
    return 0;
}
