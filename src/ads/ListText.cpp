#include "ListText.h"

#include <algorithm>
#include <cstring>

#include "Ascii.h"
#include "ReplaceAll.h"
#include "WholeNumber.h"

namespace {

// Replaces every non-overlapping `pattern` (first match wins, left to right) by
// `replacement`, in place. `replacement` is never longer than `pattern`, so the text written
// never reaches the text still to be read; the text between matches moves in whole runs.
void ReplaceInPlace(std::string& text, std::string_view pattern, std::string_view replacement) {
    const std::string_view view(text);
    size_t write = 0;
    size_t read = 0;
    for (size_t match = view.find(pattern); match != std::string_view::npos;
         match = view.find(pattern, read)) {
        if (write != read) std::memmove(text.data() + write, text.data() + read, match - read);
        write += match - read;
        std::memcpy(text.data() + write, replacement.data(), replacement.size());
        write += replacement.size();
        read = match + pattern.size();
    }
    if (write != read) std::memmove(text.data() + write, text.data() + read, text.size() - read);
    text.resize(write + text.size() - read);
}

}  // namespace

void MakeListText(std::string& reply) {
    ReplaceInPlace(reply, "^OK", "");
    // Neither a "^" nor a CR LF in its place can be part of `","`, so the matches are the
    // same whichever of the two stands there.
    ReplaceInPlace(reply, "\",\"", ",");
}

std::string_view NextListLine(const std::string& text, std::size_t& pos) {
    // strcspn stops at the terminating NUL too; it scans many bytes at a time.
    const std::string_view line(text.c_str() + pos, std::strcspn(text.c_str() + pos, "\r\n^"));
    pos += line.size();
    if (pos < text.size())
        pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    return line;
}

RecordPieces::RecordPieces(std::string_view line) {
    size_t start = 0;
    while (count_ < kCount) {
        const size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            if (start < line.size()) pieces_[count_++] = line.substr(start);
            return;
        }
        pieces_[count_++] = line.substr(start, comma - start);
        start = comma + 1;
    }
    more_ = start < line.size();
}

std::string CleanedPiece(std::string_view piece) {
    return std::string(Trimmed(ReplaceAll(piece, "\"", ""), IsBlankOrControl));
}

std::int32_t CountPiece(std::optional<std::string_view> piece) {
    if (!piece) return 0;
    return ParseInt32(*piece).value_or(0);
}
