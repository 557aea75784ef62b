#include "ServerWait.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "DialogLayout.h"
#include "HttpClient.h"

ServerWait::ServerWait(HttpClient& client, QWidget* window)
    : QObject(window), client_(client), window_(window) {
    showTimer_.setSingleShot(true);
    showTimer_.setInterval(kShowAfterMs);
    connect(&showTimer_, &QTimer::timeout, this, &ServerWait::ShowBox);
    connect(&client_, &HttpClient::busyChanged, this, &ServerWait::OnBusyChanged);
}

void ServerWait::OnBusyChanged(bool busy) {
    if (busy) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        qApp->installEventFilter(this);
        showTimer_.start();
        return;
    }
    QGuiApplication::restoreOverrideCursor();
    qApp->removeEventFilter(this);
    showTimer_.stop();
    if (box_) {
        box_->hide();
        box_->deleteLater();
    }
}

bool ServerWait::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        client_.Cancel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ServerWait::ShowBox() {
    // Over the window the owner is using; a box under a modal dialog could not be clicked.
    QWidget* over = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : window_;
    box_ = new QDialog(over, kTitleOnlyDialog);
    box_->setObjectName("frmServerWait");
    box_->setWindowTitle(window_->windowTitle());
    auto* text = new QLabel("Waiting for the server...\nPress Escape or Cancel to give up.");
    auto* bar = new QProgressBar;
    bar->setRange(0, 0);
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("btnCancelWait");
    connect(cancel, &QPushButton::clicked, &client_, &HttpClient::Cancel);
    auto* layout = new QVBoxLayout(box_);
    layout->addWidget(text);
    layout->addWidget(bar);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    box_->adjustSize();
    box_->move(over->geometry().center() - box_->rect().center());
    box_->show();
}
