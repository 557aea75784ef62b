#include "ClickRate.h"

#include <QLocale>
#include <charconv>

QString ClickRateText(std::int64_t impressions, std::int64_t clicks) {
    if (impressions < 1) return QStringLiteral("0");
    const double rate = static_cast<double>(clicks) / static_cast<double>(impressions) * 100.0;
    char digits[400];
    char* end =
        std::to_chars(digits, digits + sizeof digits - 1, rate, std::chars_format::fixed, 2).ptr;
    *end++ = '%';
    QString text = QString::fromLatin1(digits, end - digits);
    const QString decimalPoint = QLocale().decimalPoint();
    if (decimalPoint != u'.') text.replace(u'.', decimalPoint);
    return text;
}
