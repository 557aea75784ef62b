#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The list reply as text of records: the reply with every "^OK" removed, then each "^" taken
// as a line break (CR LF), then every `","` made a single comma. The work is done in place,
// so a large reply is never held twice: the "^" that remain stay in the text and count as
// line breaks, which cuts the lines exactly as a CR LF in their place would.
void MakeListText(std::string& reply);

// The next line of a list text from `pos`, which moves past the line's break: CR LF, a lone
// CR, a lone LF or a "^". The text holds no NUL byte.
std::string_view NextListLine(const std::string& text, std::size_t& pos);

// The pieces of one record, cut at commas: the text before a comma is a piece even when
// empty, the text after the last comma only when it is not. A record has nine pieces;
// whatever follows the ninth is never cut, so a line of millions of commas costs no more
// than a short one.
class RecordPieces {
  public:
    static constexpr std::size_t kCount = 9;

    explicit RecordPieces(std::string_view line);

    std::size_t Count() const { return count_; }
    // Whether more pieces follow the ninth: the record holds a comma in a field.
    bool More() const { return more_; }
    std::optional<std::string_view> operator[](std::size_t index) const {
        if (index >= count_) return std::nullopt;
        return pieces_[index];
    }

  private:
    std::array<std::string_view, kCount> pieces_;
    std::size_t count_ = 0;
    bool more_ = false;
};

// A piece with its double quotes removed and the bytes up to 0x20 trimmed at both ends.
std::string CleanedPiece(std::string_view piece);

// A signed 32-bit decimal number; anything else, or a missing piece, counts as 0.
std::int32_t CountPiece(std::optional<std::string_view> piece);
