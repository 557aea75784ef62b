#pragma once

#include <QString>
#include <string>
#include <string_view>

// Every file, protocol field and profile value is a byte string in the system code page;
// only widgets see QString. These two are the one place where the two meet.
inline QString ToQ(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string FromQ(const QString& text) { return text.toLocal8Bit().toStdString(); }
