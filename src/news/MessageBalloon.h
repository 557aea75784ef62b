#pragma once

#include <QTimer>
#include <QWidget>
#include <string>

class QLabel;

// A small frameless note that points up at a spot on the screen: it opens below and to the
// left of that spot and closes at the owner's next click or key press, or after a while.
// It deletes itself when it closes.
class MessageBalloon : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kShowMs = 12000;

    // `text` as bytes; its lines may end with CR LF.
    MessageBalloon(const std::string& text, QPoint tip, QWidget* owner);
    ~MessageBalloon() override;

    const std::string& Text() const { return text_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    std::string text_;
    QTimer closeTimer_;
};
