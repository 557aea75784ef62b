// The baseline of the start-up benchmark: the least a Qt Widgets program does to put a
// window of the main window's size on screen. It links nothing but Qt Widgets and prints
// what the benchmark's own child prints: the time from the given start to the first paint,
// and the peak memory.
#include <QApplication>
#include <QWidget>

#include "FirstPaint.h"

int main(int argc, char** argv) {
    const long long startNs = argc > 1 ? std::stoll(argv[1]) : NowNs();
    QApplication app(argc, argv);
    FirstPaint probe(startNs);
    QWidget window;
    window.resize(921, 587);
    window.installEventFilter(&probe);
    window.show();
    return app.exec();
}
