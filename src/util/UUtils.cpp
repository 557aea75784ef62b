#include "UUtils.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QtGlobal>
#include <algorithm>
#include <stdexcept>

#include "Ascii.h"
#include "Shell.h"
#include "ShownText.h"
#include "Text.h"

namespace {

struct BrowserCommand {
    std::string program;
    std::vector<std::string> arguments;
};

// $BROWSER holds one or more commands separated by ':'; "%s" in a command stands for the
// address. The first command whose program exists is taken.
bool FromBrowserVariable(const std::string& address, BrowserCommand& command) {
    const QString variable = qEnvironmentVariable("BROWSER");
    for (const QString& entry : variable.split(u':', Qt::SkipEmptyParts)) {
        QStringList words = QProcess::splitCommand(entry);
        if (words.isEmpty()) continue;
        const QString program = QStandardPaths::findExecutable(words.takeFirst());
        if (program.isEmpty()) continue;
        command.program = FromQ(program);
        bool placed = false;
        for (const QString& word : words) {
            if (word == u"%s") {
                command.arguments.push_back(address);
                placed = true;
            } else {
                command.arguments.push_back(FromQ(word));
            }
        }
        if (!placed) command.arguments.push_back(address);
        return true;
    }
    return false;
}

bool FromDesktopDefault(const std::string& address, BrowserCommand& command) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (program.isEmpty()) return false;
    command.program = FromQ(program);
    command.arguments = {address};
    return true;
}

// Refuses what must not reach another program, naming it; false for an empty address, which
// names nothing to open.
bool CheckOpenable(const std::string& address) {
    if (address.empty()) return false;
    if (!IsOpenableAddress(address))
        throw std::runtime_error("This address was not opened: " + ShownCaption(address) +
                                 "\nOnly http, https and mailto addresses are opened.");
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

bool IsOpenableAddress(const std::string& address) {
    for (char c : address)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    const std::size_t colon = address.find(':');
    if (colon == std::string::npos) return false;
    std::string scheme;
    for (char c : address.substr(0, colon)) scheme += AsciiLower(c);
    const std::string rest = address.substr(colon + 1);
    if (scheme == "mailto") return !rest.empty();
    return (scheme == "http" || scheme == "https") && rest.starts_with("//") && rest.size() > 2 &&
           rest[2] != '/';
}

bool OpenInDefaultBrowser(Shell& shell, const std::string& address) {
    if (!CheckOpenable(address)) return false;
    BrowserCommand command;
    if (!FromBrowserVariable(address, command) && !FromDesktopDefault(address, command))
        return false;
    return shell.StartDetached(command.program, command.arguments);
}

bool OpenWithDesktopHandler(Shell& shell, const std::string& address) {
    if (!CheckOpenable(address)) return false;
    BrowserCommand command;
    return FromDesktopDefault(address, command) &&
           shell.StartDetached(command.program, command.arguments);
}

void SplitByChar(char separator, const std::string& text, std::vector<std::string>& list) {
    list.clear();
    std::string piece;
    for (char c : text) {
        if (c == separator) {
            list.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (!piece.empty()) list.push_back(piece);
}

std::string DecodeHexEscapes(const std::string& text) {
    std::string result;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '$') {
            result += text[i++];
            continue;
        }
        const size_t digits = std::min<size_t>(2, text.size() - i - 1);
        int value = 0;
        if (digits == 0) return {};
        for (size_t d = 1; d <= digits; ++d) {
            const int v = HexValue(text[i + d]);
            if (v < 0) return {};
            value = value * 16 + v;
        }
        result += static_cast<char>(value);
        i += 1 + digits;
    }
    return result;
}
