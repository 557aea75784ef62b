#include "IniFile.h"

#include <QByteArray>
#include <QFile>
#include <stdexcept>

#include "Ascii.h"
#include "AtomicFile.h"
#include "Text.h"

namespace {

std::string Trim(const std::string& s) { return std::string(Trimmed(s, IsSpaceOrTab)); }

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// "[name]" with optional blanks; gives the name.
bool SectionName(const std::string& line, std::string& name) {
    const std::string t = Trim(line);
    if (t.empty() || t[0] != '[') return false;
    const size_t close = t.find(']');
    name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// "key=value"; gives the key without blanks and the raw value.
bool KeyLine(const std::string& line, std::string& key, std::string& value) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(line.substr(0, eq));
    value = line.substr(eq + 1);
    return true;
}

std::string CleanValue(const std::string& raw) {
    std::string v = raw.substr(0, raw.find('\0'));
    v = Trim(v);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    if (v.size() > IniFile::kMaxValue) v.resize(IniFile::kMaxValue);
    return v;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    QFile file(ToQ(path_));
    if (file.open(QIODevice::ReadOnly)) Parse(file.readAll());
}

IniFile IniFile::FromBytes(std::string path, const QByteArray& data) {
    IniFile ini;
    ini.path_ = std::move(path);
    ini.Parse(data);
    return ini;
}

void IniFile::Parse(const QByteArray& data) {
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype nl = data.indexOf('\n', start);
        if (nl < 0) {
            lines_.push_back({data.mid(start).toStdString(), ""});
            break;
        }
        std::string text = data.mid(start, nl - start).toStdString();
        std::string end = "\n";
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
            end = "\r\n";
        }
        lines_.push_back({std::move(text), std::move(end)});
        start = nl + 1;
    }
}

long IniFile::FindSection(const std::string& section) const {
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (SectionName(lines_[i].text, name) && SameName(name, section))
            return static_cast<long>(i);
    return -1;
}

size_t IniFile::SectionEnd(long header) const {
    std::string name;
    size_t i = static_cast<size_t>(header) + 1;
    while (i < lines_.size() && !SectionName(lines_[i].text, name)) ++i;
    return i;
}

long IniFile::FindKey(long header, const std::string& key) const {
    std::string k, v;
    const size_t end = SectionEnd(header);
    for (size_t i = static_cast<size_t>(header) + 1; i < end; ++i)
        if (KeyLine(lines_[i].text, k, v) && SameName(k, key)) return static_cast<long>(i);
    return -1;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
    const long header = FindSection(section);
    if (header < 0) return fallback;
    const long at = FindKey(header, key);
    if (at < 0) return fallback;
    std::string k, v;
    KeyLine(lines_[static_cast<size_t>(at)].text, k, v);
    return CleanValue(v);
}

void IniFile::Insert(size_t at, std::string text) {
    // The line before may be the file's unterminated last line.
    if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = "\r\n";
    lines_.insert(lines_.begin() + static_cast<long>(at), Line{std::move(text), "\r\n"});
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    const std::string line = key + "=" + value;
    const long header = FindSection(section);
    if (header < 0) {
        Insert(lines_.size(), "[" + section + "]");
        Insert(lines_.size(), line);
        return;
    }
    const long at = FindKey(header, key);
    if (at >= 0) {
        lines_[static_cast<size_t>(at)].text = line;
        return;
    }
    // New keys go after the section's last non-blank line, before any blank separator.
    size_t end = SectionEnd(header);
    while (end > static_cast<size_t>(header) + 1 && Trim(lines_[end - 1].text).empty()) --end;
    Insert(end, line);
}

void IniFile::Save(AtomicFile::Access access) const {
    QByteArray data;
    for (const Line& l : lines_) {
        data.append(l.text.data(), static_cast<qsizetype>(l.text.size()));
        data.append(l.end.data(), static_cast<qsizetype>(l.end.size()));
    }
    try {
        WriteFileAtomically(
            path_, std::string_view(data.constData(), static_cast<size_t>(data.size())), access);
    } catch (const std::runtime_error&) {
        throw std::runtime_error("Unable to write to " + path_);
    }
}
