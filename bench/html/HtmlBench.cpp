// The guard on third parties' HTML, on the documents a hostile news server or brand may send:
// for each, the guard's own pass, and the layout in a text view of what it lets through, beside
// the baseline, the layout of a plain page holding the same text with no markup at all. The
// ratio is what the markup the guard keeps costs the view on top of the text itself.
#include <QApplication>
#include <QTextBrowser>
#include <cstdio>
#include <string>

#include "SafeHtml.h"
#include "Stats.h"

namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

std::string Nested(const std::string& open, const std::string& close, int depth) {
    return Repeat(open, depth) + "deep" + Repeat(close, depth);
}

void LayOut(const std::string& html) {
    QTextBrowser view;
    view.resize(600, 400);
    view.setHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size())));
    view.document()->setTextWidth(580);
    view.document()->size();
}

// The same text without markup, as the view's least cost.
std::string PlainPage(const std::string& html) {
    QTextDocument document;
    document.setHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size())));
    return "<p>" + document.toPlainText().toHtmlEscaped().toStdString() + "</p>";
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    const struct {
        const char* name;
        std::string html;
    } documents[] = {
        {"tables 4,000 deep", Nested("<table><tr><td>", "</td></tr></table>", 4000)},
        {"tables 25 deep", Nested("<table><tr><td>", "</td></tr></table>", 25)},
        {"divs 100,000 deep", Nested("<div>", "</div>", 100000)},
        {"lists 10,000 deep", Nested("<ul><li>", "</li></ul>", 10000)},
        {"unclosed tags", Repeat("<div><table><tr><td><ul><li><b>", 20000)},
        {"10 MB of text", "<p>" + Repeat("word ", 2 << 20) + "</p>"},
        {"10 MB in one word", "<p>" + std::string(10 << 20, 'a') + "</p>"},
    };
    std::printf("HTML guard, %d runs each, ms: median (fastest to slowest)\n", runs);
    double worst = 0;
    for (const auto& d : documents) {
        std::string safe;
        const std::vector<Stats> stats =
            TimeAlternating(runs, {{[&] { safe = SafeHtml(d.html); }},
                                   {[&] { LayOut(SafeHtml(d.html)); }},
                                   {[&] { LayOut(PlainPage(SafeHtml(d.html))); }, [] {}}});
        std::printf("%-20s guard ", d.name);
        stats[0].Print("%.1f");
        std::printf("  guard + layout ");
        stats[1].Print("%.1f");
        std::printf("  plain text layout ");
        stats[2].Print("%.1f");
        std::printf("  ratio %.2f\n", stats[1].Median() / stats[2].Median());
        worst = std::max(worst, stats[1].Max());
    }
    std::printf("worst case, guard + layout: %.1f ms\n", worst);
    return 0;
}
