#include "QuillspotApplication.h"

#include <exception>

#include "ErrorReport.h"

bool QuillspotApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportError(e);
        return false;
    }
}
