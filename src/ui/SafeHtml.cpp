#include "SafeHtml.h"

#include <string_view>
#include <unordered_map>
#include <vector>

#include "Ascii.h"

namespace {

// Elements that never hold content, so never nest.
constexpr std::string_view kVoidElements[] = {"area",  "base",   "br",    "col",  "embed",
                                              "hr",    "img",    "input", "link", "meta",
                                              "param", "source", "track", "wbr"};
// The parts of a table, which count towards the table depth.
constexpr std::string_view kTableElements[] = {"table", "tbody", "thead",   "tfoot",   "tr",
                                               "td",    "th",    "caption", "colgroup"};

bool OneOf(std::string_view name, const auto& names) {
    for (std::string_view n : names)
        if (n == name) return true;
    return false;
}

bool IsNameByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == ':' || c == '_';
}

// One piece of the document: a tag (with its name, lower case, and whether it closes), or
// anything else (text, a comment, a declaration).
struct Token {
    std::string_view bytes;
    bool tag = false;
    bool markup = false;  // a tag, a comment or a declaration: not text
    bool closing = false;
    std::string name;
};

class Tokenizer {
  public:
    explicit Tokenizer(std::string_view html) : html_(html) {}

    bool Next(Token& token) {
        if (pos_ >= html_.size()) return false;
        token = Token{};
        const std::size_t start = pos_;
        if (html_[pos_] != '<') {
            pos_ = std::min(html_.find('<', pos_ + 1), html_.size());
        } else if (html_.compare(pos_, 4, "<!--") == 0) {
            const std::size_t end = html_.find("-->", pos_ + 4);
            pos_ = end == std::string_view::npos ? html_.size() : end + 3;
            token.markup = true;
        } else if (!ReadTag(token)) {
            pos_ = std::min(html_.find('<', pos_ + 1), html_.size());  // a "<" that is text
        }
        token.bytes = html_.substr(start, pos_ - start);
        return true;
    }

  private:
    // A tag from "<" to its ">", quoted attribute values included; false when none starts here.
    bool ReadTag(Token& token) {
        std::size_t p = pos_ + 1;
        token.closing = p < html_.size() && html_[p] == '/';
        if (token.closing) ++p;
        const bool declaration = !token.closing && p < html_.size() && html_[p] == '!';
        if (!declaration &&
            (p >= html_.size() || AsciiLower(html_[p]) < 'a' || AsciiLower(html_[p]) > 'z'))
            return false;
        while (p < html_.size() && IsNameByte(html_[p])) token.name += AsciiLower(html_[p++]);
        // A quote opens a value only after "=", and only when it closes again: an unclosed
        // quote is a plain byte, so a tag never runs on over what a view reads as markup.
        bool afterEquals = false;
        for (; p < html_.size() && html_[p] != '>'; ++p) {
            const char c = html_[p];
            if (afterEquals && (c == '"' || c == '\'')) {
                const std::size_t close = html_.find(c, p + 1);
                if (close != std::string_view::npos) p = close;
            }
            if (c == '=')
                afterEquals = true;
            else if (!IsSpaceOrTab(c))
                afterEquals = false;
        }
        pos_ = std::min(p + 1, html_.size());
        token.tag = !declaration;
        token.markup = true;
        return true;
    }

    std::string_view html_;
    std::size_t pos_ = 0;
};

// The elements open at a point of the document, and which of them kept their tags. Every
// step costs the same whatever the depth, so no document can make the guard itself slow.
class OpenElements {
  public:
    // Whether the start tag is kept; an element that holds content is now open.
    bool Open(const Token& tag) {
        // "<div/>" opens a div all the same, as in a browser.
        if (OneOf(tag.name, kVoidElements)) return true;
        bool kept = kept_ < kMaxHtmlDepth;
        if (tag.name == "table")
            kept = kept && keptTables_ < kMaxTableDepth;
        else if (OneOf(tag.name, kTableElements))
            kept = kept && !tables_.empty() && tables_.back();  // inside a table that kept its tags
        open_.push_back({tag.name, kept});
        ++named_[tag.name];
        if (kept) ++kept_;
        if (tag.name == "table") {
            tables_.push_back(kept);
            if (kept) ++keptTables_;
        }
        return kept;
    }

    // Whether the end tag is kept: only when it closes an element whose start tag was kept.
    // Elements left open inside it are closed with it, as a browser does.
    bool Close(const Token& tag) {
        const auto named = named_.find(tag.name);
        if (named == named_.end() || named->second == 0) return false;  // a stray end tag
        while (open_.back().name != tag.name) Pop();
        const bool kept = open_.back().kept;
        Pop();
        return kept;
    }

  private:
    struct Element {
        std::string name;
        bool kept;
    };

    void Pop() {
        const Element& element = open_.back();
        --named_[element.name];
        if (element.kept) --kept_;
        if (element.name == "table") {
            if (tables_.back()) --keptTables_;
            tables_.pop_back();
        }
        open_.pop_back();
    }

    std::vector<Element> open_;
    std::unordered_map<std::string, std::size_t> named_;
    std::vector<bool> tables_;  // for each open table, whether it kept its tags
    std::size_t kept_ = 0;
    std::size_t keptTables_ = 0;
};

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The guarded document as it is written. A view lays out a word in time that grows with the
// square of its length, so text gets a zero-width space, a place where a line may break, after
// every kMaxWord bytes without a blank, never inside a character or an entity.
class Output {
  public:
    static constexpr std::size_t kMaxWord = 1000;

    // Inside a tag, a comment or a declaration, and anywhere in text, "<" is written as
    // "&lt;": a view then finds no markup but the tags counted here, however it reads the
    // bytes around them.
    void Tag(std::string_view bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\0') continue;
            if (bytes[i] == '<' && i > 0)
                out_ += "&lt;";
            else
                out_ += bytes[i];
        }
    }

    void Text(std::string_view bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const char c = bytes[i];
            if (c == '\0') continue;
            if (word_ >= kMaxWord && !InEntity() && !IsContinuationByte(c)) {
                out_ += "\xE2\x80\x8B";
                word_ = 0;
            }
            if (c == '<')
                out_ += "&lt;";
            else
                out_ += c;
            word_ = IsBlankOrControl(c) ? 0 : word_ + 1;
            if (c == '&')
                entity_ = 1;
            else if (entity_ && (c == ';' || IsBlankOrControl(c) || ++entity_ > kMaxEntity))
                entity_ = 0;
        }
    }

    std::size_t Size() const { return out_.size(); }
    std::string Take() { return std::move(out_); }

  private:
    // An entity ("&amp;", "&#8203;") is never longer; a longer run after "&" is text.
    static constexpr std::size_t kMaxEntity = 32;
    bool InEntity() const { return entity_ > 0; }

    std::string out_;
    std::size_t word_ = 0;
    std::size_t entity_ = 0;  // bytes since an "&" that may start an entity, or 0
};

}  // namespace

std::string SafeHtml(const std::string& html, std::size_t maxBytes) {
    Output out;
    OpenElements open;
    Tokenizer tokens(html);
    Token token;
    std::size_t read = 0;
    while (tokens.Next(token)) {
        const bool kept = !token.tag || (token.closing ? open.Close(token) : open.Open(token));
        if (kept && out.Size() + token.bytes.size() > maxBytes) {
            // Text is cut at a character; a tag is never cut.
            std::size_t room = token.markup ? 0 : maxBytes - std::min(maxBytes, out.Size());
            while (room > 0 && IsContinuationByte(token.bytes[room])) --room;
            out.Text(token.bytes.substr(0, room));
            out.Tag("<p><i>(" + std::to_string(html.size() - read - room) +
                    " more bytes of this text are not shown.)</i></p>");
            break;
        }
        if (kept && token.markup) out.Tag(token.bytes);
        if (kept && !token.markup) out.Text(token.bytes);
        read += token.bytes.size();
    }
    return out.Take();
}
