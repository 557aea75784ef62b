#include "QuillspotApplication.h"

#include <exception>

#include "ErrorReport.h"

QuillspotApplication::QuillspotApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Qt ends the program with a posted quit event, which any event loop started before it is
    // handled (a wait for the server, a message box) silently drops. Ending the loops at once
    // cannot be dropped, and it also ends such a wait or box.
    connect(this, &QGuiApplication::lastWindowClosed, this, [] { QCoreApplication::exit(0); });
}

bool QuillspotApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportError(e);
        return false;
    }
}
