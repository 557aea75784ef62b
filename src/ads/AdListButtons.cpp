#include "AdListButtons.h"

#include <string>

#include "AdListModel.h"
#include "AdService.h"
#include "Messages.h"

namespace {

void Delete(AdListModel& lvwItems, AdService& service, Messages& messages, const std::string& ids,
            const char* question) {
    if (!messages.Question(question)) return;
    if (service.DeleteAds(ids))
        service.LoadAdList(lvwItems);
    else
        messages.Warning(service.FailureMessage(
            "There is a trouble deleting ads, please check your settings and your internet "
            "connection."));
}

}  // namespace

void SelectAllAds(AdListModel& lvwItems) { lvwItems.CheckAll(true); }

void ClearAdSelection(AdListModel& lvwItems) { lvwItems.CheckAll(false); }

void DeleteSelectedAds(AdListModel& lvwItems, AdService& service, Messages& messages) {
    const std::string ids = lvwItems.CheckedIds();
    if (ids.empty()) return;
    Delete(lvwItems, service, messages, ids,
           "Are you sure do you want to delete the selected ads?");
}

void DeleteAllAds(AdListModel& lvwItems, AdService& service, Messages& messages) {
    if (lvwItems.rowCount() == 0) return;
    Delete(lvwItems, service, messages, "all", "Are you sure do you want to delete all?");
}

void RefreshAdList(AdListModel& lvwItems, AdService& service, Messages& messages) {
    if (!service.LoadAdList(lvwItems))
        messages.Warning(service.FailureMessage(
            "There is a trouble loading polls, please check your settings and your internet "
            "connection."));
}
