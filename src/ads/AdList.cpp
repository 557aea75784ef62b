#include "AdList.h"

#include <QHeaderView>
#include <QTreeView>
#include <array>

#include "GridLineDelegate.h"

void SetUpAdListView(QTreeView& lvwItems, AdListModel& model) {
    static constexpr std::array<int, kAdListColumns> kWidths = {150, 150, 150, 150, 100, 80, 90};
    lvwItems.setModel(&model);
    for (int column = 0; column < kAdListColumns; ++column)
        lvwItems.setColumnWidth(column, kWidths[static_cast<std::size_t>(column)]);
    lvwItems.setRootIsDecorated(false);
    lvwItems.setItemsExpandable(false);
    lvwItems.setUniformRowHeights(true);
    lvwItems.setSortingEnabled(false);
    lvwItems.setSelectionMode(QAbstractItemView::SingleSelection);
    lvwItems.setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwItems.setAllColumnsShowFocus(true);
    lvwItems.setItemDelegate(new GridLineDelegate(&lvwItems));

    QHeaderView* header = lvwItems.header();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    QObject::connect(header, &QHeaderView::sectionClicked, &model, [header, &model](int column) {
        model.CycleSort(column);
        const bool sorted = model.SortState() != AdListModel::Sort::ReplyOrder;
        header->setSortIndicatorShown(sorted);
        if (sorted)
            header->setSortIndicator(column, model.SortState() == AdListModel::Sort::Ascending
                                                 ? Qt::AscendingOrder
                                                 : Qt::DescendingOrder);
    });
}

bool FillAdList(AdListModel& lvwItems, std::string reply) {
    return lvwItems.Fill(std::move(reply));
}

bool HighlightedAdId(const QTreeView& lvwItems, std::string& id) {
    const auto* model = qobject_cast<const AdListModel*>(lvwItems.model());
    if (!model || !lvwItems.selectionModel()) return false;
    const QModelIndexList rows = lvwItems.selectionModel()->selectedRows();
    if (rows.isEmpty() || !model->HasHiddenId(rows.front().row())) return false;
    id = model->HiddenId(rows.front().row());
    return true;
}
