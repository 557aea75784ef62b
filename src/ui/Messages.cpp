#include "Messages.h"

#include <QApplication>
#include <QMessageBox>

#include "Text.h"

namespace {
QWidget* Owner() { return QApplication::activeWindow(); }
QString Title() { return QApplication::applicationDisplayName(); }
}  // namespace

void QtMessages::Warning(const std::string& text) {
    QMessageBox::warning(Owner(), Title(), ToQ(text), QMessageBox::Ok);
}

bool QtMessages::Question(const std::string& text) {
    return QMessageBox::warning(Owner(), Title(), ToQ(text), QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtMessages::Information(const std::string& text) {
    QMessageBox::information(Owner(), Title(), ToQ(text), QMessageBox::Ok);
}

bool QtMessages::Confirm(const std::string& text) {
    return QMessageBox::information(Owner(), Title(), ToQ(text),
                                    QMessageBox::Ok | QMessageBox::Cancel,
                                    QMessageBox::Cancel) == QMessageBox::Ok;
}
