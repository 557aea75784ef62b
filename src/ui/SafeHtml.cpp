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
        char quote = 0;
        for (; p < html_.size(); ++p) {
            const char c = html_[p];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
        }
        pos_ = std::min(p + 1, html_.size());
        token.tag = !declaration;
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

void AppendWithoutNul(std::string& out, std::string_view bytes) {
    for (char c : bytes)
        if (c != '\0') out += c;
}

}  // namespace

std::string SafeHtml(const std::string& html, std::size_t maxBytes) {
    std::string out;
    OpenElements open;
    Tokenizer tokens(html);
    Token token;
    std::size_t read = 0;
    while (tokens.Next(token)) {
        const bool kept = !token.tag || (token.closing ? open.Close(token) : open.Open(token));
        if (kept && out.size() + token.bytes.size() > maxBytes) {
            out += "<p><i>(" + std::to_string(html.size() - read) +
                   " more bytes of this text are not shown.)</i></p>";
            break;
        }
        if (kept) AppendWithoutNul(out, token.bytes);
        read += token.bytes.size();
    }
    return out;
}
