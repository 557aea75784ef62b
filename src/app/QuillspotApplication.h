#pragma once

#include <QApplication>

// The application object: any error that escapes an event handler is shown through the
// program's error report instead of ending the program.
class QuillspotApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};
