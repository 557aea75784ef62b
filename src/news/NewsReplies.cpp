#include "NewsReplies.h"

#include "Ascii.h"
#include "ReplaceAll.h"
#include "UUtils.h"

namespace {

// The list's separator and, followed by "OK", the end marker: matched as a byte, never as a
// character of any encoding.
constexpr char kRecordSeparator = '\xAF';
const std::string kMarker = std::string(1, kRecordSeparator) + "OK";

}  // namespace

std::string TrimmedReply(const std::string& reply) {
    return std::string(Trimmed(reply, IsBlankOrControl));
}

bool IsSuccessReply(const std::string& trimmed) { return trimmed.find("OK") != std::string::npos; }

void ReadNewsList(const std::string& trimmed, std::vector<std::string>& list) {
    std::vector<std::string> pieces;
    SplitByChar(kRecordSeparator, trimmed, pieces);
    for (std::string& piece : pieces)
        if (!piece.empty() && piece != "OK") list.push_back(std::move(piece));
}

void ReadLastCode(const std::string& trimmed, std::string& lastCode, std::string& lastTitle) {
    const std::string rest = ReplaceAll(trimmed, kMarker, "");
    std::vector<std::string> pieces;
    SplitByChar('^', rest, pieces);
    // An id without a title (or the bare "OK" of no news) names no item the notice could show.
    if (rest == "OK" || pieces.size() < 2) return;
    lastCode = pieces[0];
    lastTitle = pieces[1];
}

std::string ReadNewsDetails(const std::string& trimmed) {
    return DecodeHexEscapes(ReplaceAll(trimmed, kMarker, ""));
}
