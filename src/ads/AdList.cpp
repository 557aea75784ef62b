#include "AdList.h"

#include <QLocale>
#include <QTreeWidget>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

#include "ReplaceAll.h"
#include "Text.h"

namespace {

constexpr int kHiddenIdRole = Qt::UserRole;

// The pieces of one record, cut at commas as SplitByChar cuts: the text before a comma is
// a piece even when empty, the text after the last comma only when it is not. A record
// has nine pieces; whatever follows the ninth is never looked at, so a line of millions of
// commas costs no more than a short one.
class RecordPieces {
  public:
    static constexpr size_t kCount = 9;

    explicit RecordPieces(std::string_view line) {
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
    }

    std::optional<std::string_view> operator[](size_t index) const {
        if (index >= count_) return std::nullopt;
        return pieces_[index];
    }

  private:
    std::array<std::string_view, kCount> pieces_;
    size_t count_ = 0;
};

// A piece with its double quotes removed and the bytes up to 0x20 trimmed at both ends.
std::string Cleaned(std::string_view piece) {
    std::string text = ReplaceAll(piece, "\"", "");
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// A signed 32-bit decimal number; anything else, or a missing piece, counts as 0.
int32_t Count(std::optional<std::string_view> piece) {
    if (!piece) return 0;
    std::string_view digits = *piece;
    // from_chars takes a minus sign but not a plus sign.
    if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-') digits.remove_prefix(1);
    int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return 0;
    return value;
}

QString RateText(int32_t impressions, int32_t clicks, const QLocale& locale) {
    if (impressions < 1) return QStringLiteral("0");
    const double rate = static_cast<double>(clicks) / impressions * 100.0;
    return locale.toString(rate, 'f', 2) + u'%';
}

// Fills one row from one line; false at the first piece the row needs but the line lacks.
bool FillRow(QTreeWidgetItem& row, std::string_view line, const QLocale& locale) {
    const RecordPieces pieces(line);
    for (int column = kColumnTitle; column <= kColumnPicture; ++column) {
        const auto piece = pieces[static_cast<size_t>(column) + 1];
        if (!piece) return false;
        row.setText(column, ToQ(std::string(*piece)));
    }
    row.setText(kColumnRate, RateText(Count(pieces[6]), Count(pieces[7]), locale));
    const auto enable = pieces[8];
    if (!enable) return false;
    row.setText(kColumnStatus,
                Cleaned(*enable) == "1" ? QStringLiteral("Active") : QStringLiteral("No Active"));
    SetHiddenId(row, Cleaned(*pieces[0]));
    return true;
}

// The next line of `text` from `pos`, which moves past the line's break (CR LF, CR or LF).
std::string_view NextLine(std::string_view text, size_t& pos) {
    const size_t start = pos;
    const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    pos = end;
    if (pos < text.size())
        pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    return text.substr(start, end - start);
}

}  // namespace

void SetUpAdListView(QTreeWidget& lvwItems) {
    static constexpr std::array<std::pair<const char*, int>, kAdListColumns> kColumns{{
        {"Ad Title", 150},
        {"Subtitle", 150},
        {"URL", 150},
        {"Content", 150},
        {"Picture", 100},
        {"Rate Clicks", 80},
        {"Status", 90},
    }};
    lvwItems.setColumnCount(kAdListColumns);
    QStringList labels;
    for (const auto& [label, width] : kColumns) labels << QString::fromLatin1(label);
    lvwItems.setHeaderLabels(labels);
    for (int column = 0; column < kAdListColumns; ++column)
        lvwItems.setColumnWidth(column, kColumns[static_cast<size_t>(column)].second);
    lvwItems.setRootIsDecorated(false);
    lvwItems.setItemsExpandable(false);
    lvwItems.setUniformRowHeights(true);
    lvwItems.setSortingEnabled(false);
    lvwItems.setSelectionMode(QAbstractItemView::SingleSelection);
    lvwItems.setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwItems.setAllColumnsShowFocus(true);
}

bool FillAdList(QTreeWidget& lvwItems, const std::string& reply) {
    lvwItems.clear();
    std::string text =
        ReplaceAll(ReplaceAll(ReplaceAll(reply, "^OK", ""), "^", "\r\n"), "\",\"", ",");
    if (text == "OK") return true;                        // the server holds no ads
    text.resize(std::min(text.find('\0'), text.size()));  // a zero byte ends the text

    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QList<QTreeWidgetItem*> rows;
    bool complete = true;
    for (size_t pos = 0; complete && pos < text.size();) {
        auto* row = new QTreeWidgetItem;
        row->setCheckState(kColumnTitle, Qt::Unchecked);
        rows.append(row);
        complete = FillRow(*row, NextLine(text, pos), locale);
    }
    lvwItems.addTopLevelItems(rows);
    return complete;
}

bool HasHiddenId(const QTreeWidgetItem& row) {
    return !row.data(kColumnTitle, kHiddenIdRole).toByteArray().isEmpty();
}

std::string HiddenId(const QTreeWidgetItem& row) {
    return row.data(kColumnTitle, kHiddenIdRole).toByteArray().toStdString();
}

void SetHiddenId(QTreeWidgetItem& row, const std::string& id) {
    row.setData(kColumnTitle, kHiddenIdRole, QByteArray::fromStdString(id));
}

bool HighlightedAdId(const QTreeWidget& lvwItems, std::string& id) {
    const QList<QTreeWidgetItem*> selected = lvwItems.selectedItems();
    if (selected.isEmpty() || !HasHiddenId(*selected.front())) return false;
    id = HiddenId(*selected.front());
    return true;
}
