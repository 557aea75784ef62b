#include "WholeNumberEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

WholeNumberEdit::WholeNumberEdit(QWidget* parent) : QLineEdit(parent) {
    // Pasted text follows the same rule as typed text.
    setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*-?[0-9]*"), this));
}

void WholeNumberEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool printable = !text.isEmpty() && text.at(0).isPrint();
    const bool accepted =
        !printable ? event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter
                   : (text.size() == 1 && (text.at(0).isDigit() ||
                                           (text.at(0) == u'-' && !this->text().contains(u'-'))));
    if (!accepted) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
