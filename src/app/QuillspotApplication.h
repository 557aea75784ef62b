#pragma once

#include <QApplication>

// The application object: any error that escapes an event handler is shown through the
// program's error report instead of ending the program, and the program ends as soon as its
// last window closes.
class QuillspotApplication : public QApplication {
  public:
    QuillspotApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
