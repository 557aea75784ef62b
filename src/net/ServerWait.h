#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class HttpClient;
class QDialog;
class QWidget;

// Lets the owner see that the program waits for the server, and give the wait up. While a
// request of `client` waits, the busy cursor shows, Escape in any window of the program cancels it;
// a wait that lasts long enough to be noticed also shows a small box with the same way out. A
// cancelled request fails like a network failure, so its caller tells the owner as for any failure.
class ServerWait : public QObject {
    Q_OBJECT
  public:
    static constexpr int kShowAfterMs = 700;

    // The box belongs to `window`; the wait's object lives as a child of it.
    ServerWait(HttpClient& client, QWidget* window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OnBusyChanged(bool busy);
    void ShowBox();

    HttpClient& client_;
    QWidget* window_;
    QPointer<QDialog> box_;
    QTimer showTimer_;
};
