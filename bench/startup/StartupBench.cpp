// Times the real program, started as a user starts it, from the process's start to its main
// window's first paint, with the whole process's peak memory then, beside a separate minimal
// Qt Widgets program; a preloaded probe reports both alike. The runs alternate between them,
// as fresh processes. It draws on xcb when there is a display (run it under xvfb-run where
// there is none), and offscreen otherwise, saying which.
//
// Usage: startup_bench [runs]
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "FullProfile.h"
#include "MonotonicNs.h"
#include "Stats.h"

namespace {

struct Figures {
    Stats ms, mb;
    QStringList libraries;  // of the last run
};

[[noreturn]] void Fail(const QString& why) {
    std::fprintf(stderr, "startup_bench: %s\n", qPrintable(why));
    std::exit(1);
}

// One fresh process of `program`, with its home in `home`; adds its figures.
void RunOnce(const QString& program, const QString& home, const QString& platform,
             Figures& figures) {
    QTemporaryDir reportDir;
    const QString reportPath = reportDir.filePath("report");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", platform);
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("LD_PRELOAD", QStringLiteral(FIRST_PAINT_PROBE));
    env.insert("FIRST_PAINT_REPORT", reportPath);
    QProcess child;
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setStandardErrorFile(QProcess::nullDevice());
    env.insert("FIRST_PAINT_START_NS", QString::number(MonotonicNs()));
    child.setProcessEnvironment(env);
    child.start(program, {});
    if (!child.waitForFinished(60000)) Fail(program + " did not paint within 60 s");
    QFile report(reportPath);
    if (!report.open(QIODevice::ReadOnly)) Fail(program + " ended without painting");
    QStringList lines = QString::fromLocal8Bit(report.readAll()).split('\n', Qt::SkipEmptyParts);
    const QStringList first = lines.isEmpty() ? QStringList() : lines.takeFirst().split(' ');
    if (first.size() != 2) Fail(program + " reported nothing");
    figures.ms.values.push_back(first[0].toDouble());
    figures.mb.values.push_back(first[1].toDouble() / 1024.0);
    figures.libraries = lines;
}

// A copy of the program in a folder of its own, which is then its program folder: no site
// settings there, so it sends no request, and the folder takes a brand profile when given.
QString ProgramIn(const QTemporaryDir& dir) {
    const QString copy = dir.filePath("quillspot");
    if (!QFile::copy(QStringLiteral(QUILLSPOT_PROGRAM), copy)) Fail("cannot copy the program");
    return copy;
}

// The libraries the drivers of GL (and the compiler of the software one) or the web engine
// would bring in: none of them belongs in the start-up.
bool IsHeavy(const QString& library) {
    for (const char* part : {"_dri", "LLVM", "gallium", "GLX_mesa", "libGL.so", "WebEngine"})
        if (library.contains(QLatin1String(part))) return true;
    return false;
}

void PrintRow(const char* name, const Figures& f) {
    std::printf("%-26s first paint ", name);
    f.ms.Print("%.1f");
    std::printf(" ms, peak memory ");
    f.mb.Print("%.1f");
    std::printf(" MB\n");
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    QCoreApplication app(argc, argv);
    QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (platform.isEmpty()) platform = qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb";
    const QString minimal = QStringLiteral(MINIMAL_WINDOW);
    QTemporaryDir home, plainDir, brandDir;
    const QString plain = ProgramIn(plainDir);
    const QString branded = ProgramIn(brandDir);
    WriteFullProfile(brandDir.path().toStdString());

    Figures warm, bare, main, brand;
    // Warms the file cache for all.
    RunOnce(minimal, home.path(), platform, warm);
    RunOnce(plain, home.path(), platform, warm);
    RunOnce(branded, home.path(), platform, warm);
    for (int i = 0; i < runs; ++i) {
        RunOnce(minimal, home.path(), platform, bare);
        RunOnce(plain, home.path(), platform, main);
        RunOnce(branded, home.path(), platform, brand);
    }

    std::printf("platform %s, median (fastest to slowest) of %d runs\n", qPrintable(platform),
                runs);
    PrintRow("minimal Qt program", bare);
    PrintRow("quillspot", main);
    PrintRow("quillspot, full brand", brand);
    std::printf("quillspot: time ratio %.2f (target <= 1.50), memory %+.1f MB (target <= 10)\n",
                main.ms.Median() / bare.ms.Median(), main.mb.Median() - bare.mb.Median());
    std::printf("full brand: %.1f ms over 1.5 times the minimal program (target <= 50)\n",
                brand.ms.Median() - 1.5 * bare.ms.Median());
    QStringList heavy;
    std::printf("libraries quillspot maps at its first paint that the minimal program does not:\n");
    for (const QString& library : main.libraries) {
        if (IsHeavy(library)) heavy << library;
        if (!bare.libraries.contains(library)) std::printf("  %s\n", qPrintable(library));
    }
    std::printf(
        "GL driver, LLVM or web engine libraries at quillspot's first paint (target: none): %s\n",
        heavy.isEmpty() ? "none" : qPrintable(heavy.join(", ")));
    return 0;
}
