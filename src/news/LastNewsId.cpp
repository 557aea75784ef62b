#include "LastNewsId.h"

#include <QFileInfo>
#include <stdexcept>
#include <vector>

#include "AesLib.h"
#include "AtomicFile.h"
#include "FileStream.h"
#include "MemoryStreams.h"
#include "ProtectFile.h"
#include "TagText.h"
#include "Text.h"
#include "WholeNumber.h"

namespace {

const std::string kTag = "LastNewsId";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// The profile's text with the new tag. A tag that shares its line keeps the rest of the
// line: only the tag itself, up to its closing marker on that line, is replaced.
std::string WithLastNewsId(const std::string& text, const std::string& id) {
    const std::string opening = OpeningMarker(kTag), closing = ClosingMarker(kTag);
    const std::string tag = opening + id + closing;
    std::vector<std::string> lines = Lines(text);
    bool replaced = false;
    for (std::string& line : lines) {
        const size_t at = line.find(opening);
        if (at == std::string::npos) continue;
        const size_t close = line.find(closing, at + opening.size());
        const size_t end = close == std::string::npos ? line.size() : close + closing.size();
        line.replace(at, end - at, tag);
        replaced = true;
        break;
    }
    if (!replaced) lines.push_back(tag);
    std::string result;
    for (const std::string& line : lines) result += line + "\r\n";
    return result;
}

[[noreturn]] void Refuse(const std::string& path, const std::string& reason) {
    throw std::runtime_error(FileErrorText("Cannot update file", path, reason));
}

// The profile's plain text, only when the container is sound and holds something: a
// profile rewritten from anything less would lose the brand.
std::string ProfileText(const std::string& path) {
    PlainText plain = DecryptProtectedFile(path);
    if (!plain.authentic || plain.bytes.empty())
        Refuse(path, "The brand profile is damaged; it was left as it was.");
    return std::move(plain.bytes);
}

std::int32_t NumberOrZero(std::string text) {
    text.erase(0, text.find_first_not_of(" \t"));
    return ParseInt32(text).value_or(0);
}

}  // namespace

std::string ReadLastNewsId(const std::string& path) {
    if (!QFileInfo::exists(ToQ(path))) return {};
    std::string text = JoinLinesCrLf(DecryptProtectedFile(path).bytes);
    return TakeTagValue(OpeningMarker(kTag), ClosingMarker(kTag), text);
}

void WriteLastNewsId(const std::string& source, const std::string& target, const std::string& id) {
    if (!QFileInfo::exists(ToQ(source))) return;
    const std::string text = WithLastNewsId(ProfileText(source), id);
    MemorySource plain(text);
    StringTarget container;
    TEncryption engine(kProtectPassPhrase, kProtectBufferSize);
    if (!engine.EncryptStream(plain, container))
        Refuse(target, "The profile could not be encrypted.");
    WriteFileAtomically(target, container.Bytes());
}

bool NewerNewsWaiting(const std::string& lastCode, const std::string& storedId) {
    // Without a last code the server has no news to announce.
    return !lastCode.empty() && NumberOrZero(lastCode) > NumberOrZero(storedId);
}
