#pragma once

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <string>

// A picture of `width` x `height` pixels in `format` ("PNG", "JPEG", "BMP") as its file holds
// it. Noise does not compress: its PNG weighs about three bytes a pixel.
inline std::string PictureBytes(const char* format, int width, int height, bool noise = false) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(Qt::darkCyan);
    if (noise)
        for (int y = 0; y < height; ++y)
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(image.scanLine(y)),
                                                  width * 3 / 4);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}
