#include "TagText.h"

#include <algorithm>

#include "Ascii.h"

std::size_t FindMarker(const std::string& text, const std::string& marker, std::size_t from) {
    if (from > text.size()) return std::string::npos;
    const auto found =
        std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), marker.begin(),
                    marker.end(), [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
    return found == text.end() ? std::string::npos : static_cast<std::size_t>(found - text.begin());
}

std::string OpeningMarker(const std::string& name) { return "<%%" + name + "%%>"; }

std::string ClosingMarker(const std::string& name) { return "<%%/" + name + "%%>"; }

std::string TakeTagValue(const std::string& opening, const std::string& closing,
                         std::string& text) {
    const std::size_t start = FindMarker(text, opening);
    if (start == std::string::npos) return {};
    text.erase(0, start + opening.size());
    const std::size_t end = FindMarker(text, closing);
    if (end == std::string::npos) return {};
    std::string value = text.substr(0, end);
    text.erase(0, end);
    return value;
}

std::string JoinLinesCrLf(const std::string& bytes) {
    const std::string content = bytes.substr(0, bytes.find('\0'));
    std::string text;
    std::size_t i = 0;
    while (i < content.size()) {
        const std::size_t end = content.find_first_of("\r\n", i);
        text.append(content, i, end == std::string::npos ? std::string::npos : end - i);
        text += "\r\n";
        if (end == std::string::npos) break;
        i = end + (content.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return text;
}
