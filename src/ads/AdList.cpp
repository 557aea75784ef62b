#include "AdList.h"

#include <QHeaderView>
#include <QLocale>
#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

#include "GridLineDelegate.h"
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

// The click rate as "%.2f%%" would write it, but with the user's decimal separator.
QString RateText(int32_t impressions, int32_t clicks, const QString& decimalPoint) {
    if (impressions < 1) return QStringLiteral("0");
    const double rate = static_cast<double>(clicks) / impressions * 100.0;
    char digits[32];
    char* end =
        std::to_chars(digits, digits + sizeof digits - 1, rate, std::chars_format::fixed, 2).ptr;
    *end++ = '%';
    QString text = QString::fromLatin1(digits, end - digits);
    if (decimalPoint != u'.') text.replace(u'.', decimalPoint);
    return text;
}

// The column texts of one line, as far as the line has the pieces they need, and its id.
// False at the first piece the row needs but the line lacks.
// `bytes` is a buffer for the conversions that the caller keeps from row to row.
bool ReadRow(std::string_view line, const QString& decimalPoint, QStringList& texts,
             std::string& id, std::string& bytes) {
    const RecordPieces pieces(line);
    for (size_t piece = 1; piece <= 5; ++piece) {
        if (!pieces[piece]) return false;
        bytes.assign(*pieces[piece]);
        texts << ToQ(bytes);
    }
    texts << RateText(Count(pieces[6]), Count(pieces[7]), decimalPoint);
    if (!pieces[8]) return false;
    texts << (Cleaned(*pieces[8]) == "1" ? QStringLiteral("Active") : QStringLiteral("No Active"));
    id = Cleaned(*pieces[0]);
    return true;
}

// The next line of `text` from `pos`, which moves past the line's break (CR LF, CR or LF).
std::string_view NextLine(std::string_view text, size_t& pos) {
    const auto begin = text.begin() + static_cast<std::ptrdiff_t>(pos);
    const auto end = std::find_if(begin, text.end(), [](char c) { return c == '\r' || c == '\n'; });
    const std::string_view line(&*begin, static_cast<size_t>(end - begin));
    pos += line.size();
    if (pos < text.size())
        pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    return line;
}

// The reply with every "^OK" removed and then every "^" made a line break. One pass does
// both: a "^" that survives the removals is exactly one that does not start "^OK".
std::string RecordsAsLines(std::string_view reply) {
    std::string text;
    text.reserve(reply.size() + reply.size() / 8);
    size_t start = 0;
    for (size_t at = reply.find('^'); at != std::string_view::npos; at = reply.find('^', start)) {
        text.append(reply.substr(start, at - start));
        const bool marker = reply.substr(at + 1, 2) == "OK";
        if (!marker) text += "\r\n";
        start = at + (marker ? 3 : 1);
    }
    text.append(reply.substr(start));
    return text;
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
    lvwItems.header()->setStretchLastSection(false);
    lvwItems.setItemDelegate(new GridLineDelegate(&lvwItems));
}

bool FillAdList(QTreeWidget& lvwItems, const std::string& reply) {
    lvwItems.clear();
    std::string text = ReplaceAll(RecordsAsLines(reply), "\",\"", ",");
    if (text == "OK") return true;                        // the server holds no ads
    text.resize(std::min(text.find('\0'), text.size()));  // a zero byte ends the text

    const QString decimalPoint = QLocale().decimalPoint();
    QList<QTreeWidgetItem*> rows;
    bool complete = true;
    std::string bytes;
    for (size_t pos = 0; complete && pos < text.size();) {
        QStringList texts;
        texts.reserve(kAdListColumns);
        std::string id;
        complete = ReadRow(NextLine(text, pos), decimalPoint, texts, id, bytes);
        auto* row = new QTreeWidgetItem(texts);
        row->setCheckState(kColumnTitle, Qt::Unchecked);
        if (complete) SetHiddenId(*row, id);
        rows.append(row);
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
