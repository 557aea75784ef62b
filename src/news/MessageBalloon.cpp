#include "MessageBalloon.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "ReplaceAll.h"
#include "ShownText.h"
#include "Text.h"

namespace {

constexpr int kShadow = 4;
constexpr int kPointer = 10;
constexpr int kRadius = 6;
constexpr int kPadding = 8;
// How far the pointer sits from the balloon's right edge.
constexpr int kPointerInset = 18;

bool ClosesBalloon(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::NonClientAreaMouseButtonPress ||
           type == QEvent::KeyPress;
}

}  // namespace

MessageBalloon::MessageBalloon(const std::string& text, QPoint tip, QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), text_(text) {
    setObjectName("LMDMessageHint1");
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);

    // The title comes from the news server: shown as plain text, never as markup.
    auto* label =
        new QLabel(ToQ(ShownText(ReplaceAll(text, "\r\n", "\n"), 2 * kMaxCaption, kMaxCaption)));
    label->setTextFormat(Qt::PlainText);
    label->setForegroundRole(QPalette::ToolTipText);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kPadding, kPointer + kPadding, kPadding + kShadow,
                               kPadding + kShadow);
    layout->addWidget(label);
    adjustSize();
    move(tip.x() - width() + kPointerInset, tip.y());

    qApp->installEventFilter(this);
    closeTimer_.setSingleShot(true);
    connect(&closeTimer_, &QTimer::timeout, this, &QWidget::close);
    closeTimer_.start(kShowMs);
}

MessageBalloon::~MessageBalloon() { qApp->removeEventFilter(this); }

bool MessageBalloon::eventFilter(QObject* watched, QEvent* event) {
    if (ClosesBalloon(event->type())) close();
    return QWidget::eventFilter(watched, event);
}

void MessageBalloon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body(0, kPointer, width() - kShadow, height() - kPointer - kShadow);
    QPainterPath outline;
    outline.addRoundedRect(body, kRadius, kRadius);
    const qreal pointerX = width() - kShadow - kPointerInset;
    QPainterPath pointer;
    pointer.moveTo(pointerX - kPointer, kPointer + 1);
    pointer.lineTo(pointerX, 0);
    pointer.lineTo(pointerX, kPointer + 1);
    pointer.closeSubpath();
    outline = outline.united(pointer);

    painter.fillPath(outline.translated(kShadow, kShadow), QColor(0, 0, 0, 70));
    painter.fillPath(outline, palette().color(QPalette::ToolTipBase));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawPath(outline);
}
