#pragma once

#include <QAbstractTableModel>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The ad list's columns, left to right. Each row also carries its ad's id, hidden.
enum AdListColumn {
    kColumnTitle,
    kColumnSubtitle,
    kColumnUrl,
    kColumnContent,
    kColumnPicture,
    kColumnRate,
    kColumnStatus,
    kAdListColumns
};

// The ad list over the text of the list reply. The reply's bytes are kept once, and a cell's
// text is made only when a view asks for it, so a list of many thousand ads costs little more
// than its reply. Each row carries a check box in its title column and its ad's id as a
// hidden value (kHiddenIdRole). Rows keep the reply's order until the owner sorts them.
class AdListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kHiddenIdRole = Qt::UserRole;

    enum class Sort { ReplyOrder, Ascending, Descending };

    using QAbstractTableModel::QAbstractTableModel;

    // Rebuilds the rows from the list reply, in one model reset: unchecked, and then in the
    // order the owner chose. False when a record is too short: the rows before it stay, and
    // so does the row of that record as far as it was filled, but without a hidden id.
    bool Fill(std::string reply);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Rows are counted as shown. Only a row with a hidden id may be acted on.
    bool HasHiddenId(int row) const;
    std::string HiddenId(int row) const;
    bool IsChecked(int row) const;
    // Every check box at once, in one signal.
    void CheckAll(bool checked);
    // The hidden ids of the checked rows that have one, in the order shown, joined by ",".
    std::string CheckedIds() const;

    // A header click: sorts by `column`, then the other way, then back to the reply's order.
    // The choice holds for later fills.
    void CycleSort(int column);
    Sort SortState() const { return sort_; }

  private:
    struct Line {
        std::size_t start;
        std::size_t length;
    };

    std::size_t Record(int row) const;
    std::string_view LineOf(std::size_t record) const;
    QVariant Cell(std::size_t record, int column) const;
    void ApplySort();

    // The list text (see MakeListText) and where each row's line lies in it.
    std::string text_;
    std::vector<Line> lines_;
    // Whether the last row's record was too short; it then has no hidden id.
    bool lastIncomplete_ = false;
    std::vector<std::uint8_t> checked_;  // by record
    // Shown row -> record; empty in the reply's order.
    std::vector<std::uint32_t> order_;
    int sortColumn_ = -1;
    Sort sort_ = Sort::ReplyOrder;
};
