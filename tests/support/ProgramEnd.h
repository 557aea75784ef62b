#pragma once

#include <QApplication>
#include <QTimer>

// Runs the program's event loop; true when the program ended by itself within `ms`.
inline bool ProgramEndsWithin(int ms) {
    bool timedOut = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    watchdog.start(ms);
    const int status = QApplication::exec();
    // Qt's own quit event, posted when the last window closed, must not end a later test.
    QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
    return status == 0 && !timedOut;
}
