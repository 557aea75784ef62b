#include "AdListModel.h"

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>

#include "ClickRate.h"
#include "ListText.h"
#include "NaturalOrder.h"
#include "Text.h"

namespace {

constexpr std::array<const char*, kAdListColumns> kCaptions = {
    "Ad Title", "Subtitle", "URL", "Content", "Picture", "Rate Clicks", "Status"};

// The pieces a row needs before it shows its rate, and its status.
constexpr std::size_t kPiecesForRate = 6;
constexpr std::size_t kPiecesForStatus = 9;

// Clicks per hundred impressions; none without impressions.
std::optional<double> Rate(const RecordPieces& pieces) {
    const std::int32_t impressions = CountPiece(pieces[6]);
    if (impressions < 1) return std::nullopt;
    return static_cast<double>(CountPiece(pieces[7])) / impressions * 100.0;
}

QString RateText(const RecordPieces& pieces) {
    return ClickRateText(CountPiece(pieces[6]), CountPiece(pieces[7]));
}

// Empties a container and gives its memory back; clearing or assigning an empty one keeps it.
template <class Container>
void Release(Container& container) {
    Container().swap(container);
}

const char* StatusText(const RecordPieces& pieces) {
    return CleanedPiece(*pieces[8]) == "1" ? "Active" : "No Active";
}

}  // namespace

bool AdListModel::Fill(std::string reply) {
    beginResetModel();
    // The old rows go before the new ones are built, so two lists never live at once.
    Release(text_);
    Release(lines_);
    Release(checked_);
    Release(order_);
    text_ = std::move(reply);
    MakeListText(text_);
    bool complete = true;
    if (text_ == "OK") {  // the server holds no ads
        text_.clear();
    } else {
        text_.resize(std::min(text_.find('\0'), text_.size()));  // a zero byte ends the text
        for (std::size_t pos = 0; complete && pos < text_.size();) {
            const std::size_t start = pos;
            const std::string_view line = NextListLine(text_, pos);
            lines_.push_back({start, line.size()});
            complete = RecordPieces(line).Count() == RecordPieces::kCount;
        }
        lines_.shrink_to_fit();
    }
    lastIncomplete_ = !complete;
    checked_.assign(lines_.size(), 0);
    ApplySort();
    endResetModel();
    return complete;
}

int AdListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int AdListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kAdListColumns;
}

std::size_t AdListModel::Record(int row) const {
    return order_.empty() ? static_cast<std::size_t>(row) : order_[static_cast<std::size_t>(row)];
}

std::string_view AdListModel::LineOf(std::size_t record) const {
    return std::string_view(text_).substr(lines_[record].start, lines_[record].length);
}

QVariant AdListModel::Cell(std::size_t record, int column) const {
    const RecordPieces pieces(LineOf(record));
    // A short record's row shows its columns only as far as its pieces reach.
    if (column < kColumnRate) {
        const auto piece = static_cast<std::size_t>(column) + 1;
        return pieces.Count() > piece ? ToQ(*pieces[piece]) : QString();
    }
    if (column == kColumnRate)
        return pieces.Count() >= kPiecesForRate ? RateText(pieces) : QString();
    return pieces.Count() >= kPiecesForStatus ? QString::fromLatin1(StatusText(pieces)) : QString();
}

QVariant AdListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const std::size_t record = Record(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return Cell(record, index.column());
        case Qt::CheckStateRole:
            if (index.column() != kColumnTitle) return {};
            return checked_[record] ? Qt::Checked : Qt::Unchecked;
        case kHiddenIdRole:
            return HasHiddenId(index.row()) ? QByteArray::fromStdString(HiddenId(index.row()))
                                            : QVariant();
        default:
            return {};
    }
}

bool AdListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != kColumnTitle)
        return false;
    checked_[Record(index.row())] = value.value<Qt::CheckState>() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags AdListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.column() == kColumnTitle) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant AdListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kAdListColumns)
        return {};
    return QString::fromLatin1(kCaptions[static_cast<std::size_t>(section)]);
}

bool AdListModel::HasHiddenId(int row) const {
    const std::size_t record = Record(row);
    if (lastIncomplete_ && record + 1 == lines_.size()) return false;
    return !HiddenId(row).empty();
}

std::string AdListModel::HiddenId(int row) const {
    const std::size_t record = Record(row);
    if (lastIncomplete_ && record + 1 == lines_.size()) return {};
    return CleanedPiece(*RecordPieces(LineOf(record))[0]);
}

bool AdListModel::IsChecked(int row) const { return checked_[Record(row)] != 0; }

void AdListModel::CheckAll(bool checked) {
    if (lines_.empty()) return;
    std::fill(checked_.begin(), checked_.end(), checked ? 1 : 0);
    emit dataChanged(index(0, kColumnTitle), index(rowCount() - 1, kColumnTitle),
                     {Qt::CheckStateRole});
}

std::string AdListModel::CheckedIds() const {
    std::string ids;
    for (int row = 0; row < rowCount(); ++row) {
        if (!IsChecked(row) || !HasHiddenId(row)) continue;
        if (!ids.empty()) ids += ',';
        ids += HiddenId(row);
    }
    return ids;
}

void AdListModel::CycleSort(int column) {
    if (column < 0 || column >= kAdListColumns) return;
    if (column != sortColumn_ || sort_ == Sort::ReplyOrder) {
        sortColumn_ = column;
        sort_ = Sort::Ascending;
    } else if (sort_ == Sort::Ascending) {
        sort_ = Sort::Descending;
    } else {
        sortColumn_ = -1;
        sort_ = Sort::ReplyOrder;
    }
    beginResetModel();
    ApplySort();
    endResetModel();
}

void AdListModel::ApplySort() {
    Release(order_);
    if (sort_ == Sort::ReplyOrder) return;
    const std::size_t count = lines_.size();
    // Rows without the sort column's value sort as the lowest value: first when ascending,
    // last when descending. Rows that compare equal keep the reply's order either way.
    const bool descending = sort_ == Sort::Descending;
    if (sortColumn_ == kColumnRate) {
        order_.resize(count);
        std::iota(order_.begin(), order_.end(), 0u);
        std::vector<double> keys(count);
        for (std::size_t r = 0; r < count; ++r) {
            const RecordPieces pieces(LineOf(r));
            keys[r] = pieces.Count() < kPiecesForRate ? -std::numeric_limits<double>::infinity()
                                                      : Rate(pieces).value_or(0.0);
        }
        std::stable_sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
            return descending ? keys[b] < keys[a] : keys[a] < keys[b];
        });
        return;
    }
    order_ = NaturalSortOrder(
        count,
        [&](std::size_t r) {
            const RecordPieces pieces(LineOf(r));
            if (sortColumn_ != kColumnStatus)
                return pieces[static_cast<std::size_t>(sortColumn_) + 1].value_or(
                    std::string_view());
            return pieces.Count() >= kPiecesForStatus ? StatusText(pieces) : std::string_view();
        },
        descending);
}
