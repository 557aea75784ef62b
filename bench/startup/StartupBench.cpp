// Measures the time from process start to the main window's first paint, and the peak
// memory at that moment, beside the same figures for a separate minimal Qt Widgets program
// that shows a window of the same size and links nothing else. The two run as alternating
// fresh processes; each figure is the median and the spread of the runs.
//
// Usage: startup_bench [runs]
#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "AppDir.h"
#include "FMain.h"
#include "FirstPaint.h"
#include "Messages.h"
#include "Shell.h"
#include "Stats.h"
#include "Text.h"

namespace {

int MainWindowChild(int argc, char** argv, long long startNs) {
    QApplication app(argc, argv);
    FirstPaint probe(startNs);
    QtMessages messages;
    ProcessShell shell;
    QTemporaryDir empty;  // no brand profile, no site settings: no network either
    SetAppDirForTesting(FromQ(empty.path()));
    TfrmMain window(messages, shell);
    window.FormCreate();
    window.installEventFilter(&probe);
    window.show();
    return app.exec();
}

// One fresh process; adds its time to first paint and its peak memory to the figures.
void RunOnce(const QString& program, QStringList args, Stats& ms, Stats& mb) {
    QProcess child;
    const long long start = NowNs();
    args << QString::number(start);
    child.start(program, args);
    child.waitForFinished(60000);
    double took = 0;
    long kb = 0;
    if (std::sscanf(child.readAllStandardOutput().constData(), "%lf %ld", &took, &kb) != 2) {
        std::fprintf(stderr, "%s reported nothing\n", qPrintable(program));
        std::exit(1);
    }
    ms.values.push_back(took);
    mb.values.push_back(kb / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--child")
        return MainWindowChild(argc, argv, std::stoll(argv[2]));

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const QString minimal = QStringLiteral(MINIMAL_WINDOW);
    Stats minimalMs, minimalMb, mainMs, mainMb;
    // Warm the file cache for both.
    RunOnce(minimal, {}, minimalMs, minimalMb);
    RunOnce(self, {"--child"}, mainMs, mainMb);
    minimalMs = minimalMb = mainMs = mainMb = Stats();

    // Alternate the two so that a change in the machine's load hits both alike.
    for (int i = 0; i < runs; ++i) {
        RunOnce(minimal, {}, minimalMs, minimalMb);
        RunOnce(self, {"--child"}, mainMs, mainMb);
    }
    std::printf("platform %s, median (fastest to slowest) of %d runs\n",
                qgetenv("QT_QPA_PLATFORM").constData(), runs);
    std::printf("first paint: minimal Qt program ");
    minimalMs.Print("%.1f");
    std::printf(" ms, main window ");
    mainMs.Print("%.1f");
    std::printf(" ms; ratio %.2f (target <= 1.50)\n", mainMs.Median() / minimalMs.Median());
    std::printf("peak memory: minimal Qt program ");
    minimalMb.Print("%.1f");
    std::printf(" MB, main window ");
    mainMb.Print("%.1f");
    std::printf(" MB; difference %+.1f MB (target <= 15)\n", mainMb.Median() - minimalMb.Median());
    return 0;
}
