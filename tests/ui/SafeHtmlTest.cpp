#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTextBrowser>
#include <functional>

#include "SafeHtml.h"

namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

std::string Nested(const std::string& open, const std::string& close, int depth,
                   const std::string& inner = "x") {
    return Repeat(open, depth) + inner + Repeat(close, depth);
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// What a hostile news server or brand may send: each must lay out quickly once guarded, and
// keep its text.
TEST(SafeHtml, HostileDocumentsLayOutQuicklyAndKeepTheirText) {
    const struct {
        const char* name;
        std::string html;
        std::function<void(const std::string&)> check;
    } cases[] = {
        {"tables 4000 deep", Nested("<table><tr><td>", "</td></tr></table>", 4000, "deep"),
         [](const std::string& safe) {
             EXPECT_EQ(Count(safe, "<table>"), kMaxTableDepth);
             EXPECT_EQ(Count(safe, "</table>"), kMaxTableDepth);
         }},
        {"tables 25 deep", Nested("<table><tr><td>", "</td></tr></table>", 25, "deep"), {}},
        {"divs 100000 deep", Nested("<div>", "</div>", 100000, "deep"),
         [](const std::string& safe) { EXPECT_EQ(Count(safe, "<div>"), kMaxHtmlDepth); }},
        {"unclosed", Repeat("<div><table><tr><td><ul><li><b>", 20000) + "deep", {}},
        {"stray end tags", Repeat("<span>", 30000) + Repeat("</div>", 30000) + "deep", {}},
        {"10 MB in one word", "<p>deep " + std::string(10 << 20, 'a') + "</p>",
         [](const std::string& safe) {
             EXPECT_LE(safe.size(), kMaxHtmlBytes + kMaxHtmlBytes / 300 + 100);
             EXPECT_GT(safe.size(), kMaxHtmlBytes - 100) << "the text is cut, not dropped";
             EXPECT_NE(safe.find("more bytes of this text are not shown"), std::string::npos);
         }},
        {"an entity split by no break",
         "<p>" + std::string(999, 'a') + "&amp;&" + std::string(2000, 'b') + " deep</p>",
         [](const std::string& safe) {
             EXPECT_NE(safe.find("&amp;"), std::string::npos);
             EXPECT_EQ(Count(safe, "\xE2\x80\x8B"), 3u);
         }},
        {"NUL bytes", std::string("<b>de\0e\0p</b>", 13),
         [](const std::string& safe) { EXPECT_EQ(safe, "<b>deep</b>"); }},
        {"quotes and comments",
         "<a href=\"x>y\" title='<table>'>d</a><!-- <table> -->e<3 <p class=x/>ep</p>",
         [](const std::string& safe) {
             EXPECT_EQ(safe,
                       "<a href=\"x>y\" title='&lt;table>'>d</a><!-- &lt;table> -->e&lt;3 <p "
                       "class=x/>ep</p>");
         }},
        // A view may read an unclosed quote as running on to the end; the guard counts the
        // tables either way, and hides nothing it does not count.
        {"unclosed quotes", Nested("<table><tr><td title=\"x>", "</td></tr></table>", 500, "deep"),
         [](const std::string& safe) { EXPECT_EQ(Count(safe, "<table>"), kMaxTableDepth); }},
        {"a quote in a name",
         "<ta\"le>" + Nested("<table><tr><td>", "</td></tr></table>", 500, "deep"),
         [](const std::string& safe) { EXPECT_EQ(Count(safe, "<table>"), kMaxTableDepth); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QElapsedTimer clock;
        clock.start();
        const std::string safe = SafeHtml(c.html);
        QTextBrowser view;
        view.resize(600, 400);
        view.setHtml(QString::fromUtf8(safe.data(), static_cast<qsizetype>(safe.size())));
        view.document()->setTextWidth(580);
        const QSizeF size = view.document()->size();
        EXPECT_LT(clock.elapsed(), 2000) << "a guard against hangs; the benchmark gives figures";
        EXPECT_GT(size.height(), 0);
        EXPECT_TRUE(view.toPlainText().contains("deep") || view.toPlainText().contains("e<3"))
            << "the text itself stays";
        if (c.check) c.check(safe);
    }
}

TEST(SafeHtml, AnOrdinaryPageIsLeftByteForByte) {
    const std::string page =
        "<html><head><style>p { color: red }</style></head><body><h1>News</h1>"
        "<table border=1><tr><td><table><tr><td>two deep</td></tr></table></td></tr></table>"
        "<p>A &amp; B<br>next<img src=\"a.png\"></p><ul><li>one<li>two</ul></body></html>";
    EXPECT_EQ(SafeHtml(page), page);
}

}  // namespace
