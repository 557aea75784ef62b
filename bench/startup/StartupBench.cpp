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
#include "FullProfile.h"
#include "Messages.h"
#include "Shell.h"
#include "Stats.h"
#include "Text.h"

namespace {

// The main window from `dir` (no site settings there: no network either); prints the time
// its creation took, which holds the brand profile load, before the first paint's figures.
int MainWindowChild(int argc, char** argv, long long startNs, const QString& dir) {
    QApplication app(argc, argv);
    FirstPaint probe(startNs);
    QtMessages messages;
    ProcessShell shell;
    SetAppDirForTesting(FromQ(dir));
    TfrmMain window(messages, shell);
    const long long created = NowNs();
    window.FormCreate();
    std::printf("%.3f ", (NowNs() - created) / 1e6);
    window.installEventFilter(&probe);
    window.show();
    return app.exec();
}

// One fresh process; adds its time to first paint and its peak memory to the figures.
void RunOnce(const QString& program, QStringList args, Stats& ms, Stats& mb, Stats& loadMs) {
    QProcess child;
    const long long start = NowNs();
    args << QString::number(start);
    child.start(program, args);
    child.waitForFinished(60000);
    double took = 0;
    long kb = 0;
    QByteArray out = child.readAllStandardOutput();
    // The main window's children put the time of its creation first.
    if (program != QStringLiteral(MINIMAL_WINDOW)) {
        double load = 0;
        int used = 0;
        if (std::sscanf(out.constData(), "%lf %n", &load, &used) == 1) {
            loadMs.values.push_back(load);
            out = out.mid(used);
        }
    }
    if (std::sscanf(out.constData(), "%lf %ld", &took, &kb) != 2) {
        std::fprintf(stderr, "%s reported nothing\n", qPrintable(program));
        std::exit(1);
    }
    ms.values.push_back(took);
    mb.values.push_back(kb / 1024.0);
}

struct Figures {
    Stats ms, mb, loadMs;
};

void Run(const QString& program, const QStringList& args, Figures& figures) {
    RunOnce(program, args, figures.ms, figures.mb, figures.loadMs);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--child")
        return MainWindowChild(argc, argv, std::stoll(argv[3]), QString::fromLocal8Bit(argv[2]));

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const QString minimal = QStringLiteral(MINIMAL_WINDOW);
    QTemporaryDir empty;
    QTemporaryDir branded;
    WriteFullProfile(FromQ(branded.path()));
    const QStringList plainArgs = {"--child", empty.path()};
    const QStringList brandArgs = {"--child", branded.path()};
    Figures warm, bare, main, brand;
    // Warm the file cache for all.
    Run(minimal, {}, warm);
    Run(self, plainArgs, warm);
    Run(self, brandArgs, warm);

    // Alternate them so that a change in the machine's load hits all alike.
    for (int i = 0; i < runs; ++i) {
        Run(minimal, {}, bare);
        Run(self, plainArgs, main);
        Run(self, brandArgs, brand);
    }
    std::printf("platform %s, median (fastest to slowest) of %d runs\n",
                qgetenv("QT_QPA_PLATFORM").constData(), runs);
    const auto row = [&](const char* name, const Figures& f) {
        std::printf("%-28s first paint ", name);
        f.ms.Print("%.1f");
        std::printf(" ms, peak memory ");
        f.mb.Print("%.1f");
        std::printf(" MB\n");
    };
    row("minimal Qt program", bare);
    row("main window", main);
    row("main window, full brand", brand);
    std::printf("main window: time ratio %.2f (target <= 1.50), memory %+.1f MB (target <= 15)\n",
                main.ms.Median() / bare.ms.Median(), main.mb.Median() - bare.mb.Median());
    std::printf("full brand: %.1f ms over 1.5 times the minimal program (target <= 50)\n",
                brand.ms.Median() - 1.5 * bare.ms.Median());
    std::printf("window creation with the full brand's profile load: ");
    brand.loadMs.Print("%.1f");
    std::printf(" ms (without a profile ");
    main.loadMs.Print("%.1f");
    std::printf(" ms)\n");
    return 0;
}
