#include "ShownText.h"

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// `count` bytes of `text` from `start`, fewer when the cut would split a character.
std::size_t WholeCharacters(const std::string& text, std::size_t start, std::size_t count) {
    while (count > 0 && IsContinuationByte(text[start + count])) --count;
    return count;
}

std::string Note(std::size_t cutBytes) {
    return "... (" + std::to_string(cutBytes) + " more bytes not shown)";
}

}  // namespace

std::string ShownText(const std::string& text, std::size_t maxBytes, std::size_t maxLine) {
    if (text.size() <= maxLine && text.find('\n') == std::string::npos) return text;
    std::string shown;
    std::size_t start = 0;
    while (start < text.size()) {
        if (shown.size() >= maxBytes) {
            shown += Note(text.size() - start);
            break;
        }
        const std::size_t newline = text.find('\n', start);
        const std::size_t end = newline == std::string::npos ? text.size() : newline;
        const std::size_t room = std::min(maxLine, maxBytes - shown.size());
        if (end - start <= room) {
            shown.append(text, start, end - start);
        } else {
            const std::size_t kept = WholeCharacters(text, start, room);
            shown.append(text, start, kept);
            shown += Note(end - start - kept);
        }
        if (newline == std::string::npos) break;
        shown += '\n';
        start = newline + 1;
    }
    return shown;
}
