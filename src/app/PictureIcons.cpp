#include "PictureIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
constexpr int kSize = 24;
}

QIcon MakePictureIcon(PictureIcon kind) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 90, 160), 2));
    switch (kind) {
        case PictureIcon::News:  // an envelope
            p.drawRect(3, 6, 18, 13);
            p.drawPolyline(QPolygon({{3, 6}, {12, 13}, {21, 6}}));
            break;
        case PictureIcon::Update: {  // a circular arrow
            p.drawArc(4, 4, 16, 16, 60 * 16, 270 * 16);
            QPainterPath head;
            head.addPolygon(QPolygonF({{16, 2}, {21, 6}, {15, 9}}));
            p.fillPath(head, QColor(40, 90, 160));
            break;
        }
        case PictureIcon::Help:  // a question mark in a circle
            p.drawEllipse(3, 3, 18, 18);
            p.drawArc(8, 6, 8, 7, -90 * 16, 270 * 16);
            p.drawLine(12, 13, 12, 15);
            p.drawPoint(12, 18);
            break;
    }
    return QIcon(pixmap);
}
