#include "AdListButtons.h"

#include <QTreeWidget>
#include <string>

#include "AdList.h"
#include "AdService.h"
#include "Messages.h"

namespace {

void CheckEveryRow(QTreeWidget& lvwItems, Qt::CheckState state) {
    for (int i = 0; i < lvwItems.topLevelItemCount(); ++i)
        lvwItems.topLevelItem(i)->setCheckState(kColumnTitle, state);
}

// The hidden ids of the checked rows, in row order, joined by ",".
std::string CheckedIds(const QTreeWidget& lvwItems) {
    std::string ids;
    for (int i = 0; i < lvwItems.topLevelItemCount(); ++i) {
        const QTreeWidgetItem& row = *lvwItems.topLevelItem(i);
        if (row.checkState(kColumnTitle) != Qt::Checked || !HasHiddenId(row)) continue;
        if (!ids.empty()) ids += ',';
        ids += HiddenId(row);
    }
    return ids;
}

void Delete(QTreeWidget& lvwItems, AdService& service, Messages& messages, const std::string& ids,
            const char* question) {
    if (!messages.Question(question)) return;
    if (service.DeleteAds(ids))
        service.LoadAdList(lvwItems);
    else
        messages.Warning(
            "There is a trouble deleting ads, please check your settings and your internet "
            "connection.");
}

}  // namespace

void SelectAllAds(QTreeWidget& lvwItems) { CheckEveryRow(lvwItems, Qt::Checked); }

void ClearAdSelection(QTreeWidget& lvwItems) { CheckEveryRow(lvwItems, Qt::Unchecked); }

void DeleteSelectedAds(QTreeWidget& lvwItems, AdService& service, Messages& messages) {
    const std::string ids = CheckedIds(lvwItems);
    if (ids.empty()) return;
    Delete(lvwItems, service, messages, ids,
           "Are you sure do you want to delete the selected ads?");
}

void DeleteAllAds(QTreeWidget& lvwItems, AdService& service, Messages& messages) {
    if (lvwItems.topLevelItemCount() == 0) return;
    Delete(lvwItems, service, messages, "all", "Are you sure do you want to delete all?");
}

void RefreshAdList(QTreeWidget& lvwItems, AdService& service, Messages& messages) {
    if (!service.LoadAdList(lvwItems))
        messages.Warning(
            "There is a trouble loading polls, please check your settings and your internet "
            "connection.");
}
