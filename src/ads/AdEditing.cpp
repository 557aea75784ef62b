#include "AdEditing.h"

#include "AdList.h"
#include "AdService.h"
#include "FPictureAd.h"
#include "ListText.h"
#include "Messages.h"
#include "ReplaceAll.h"

namespace {

void ShowEditor(TfrmPictureAd& dialog, AdListModel& list, AdService& service) {
    if (dialog.exec() == QDialog::Accepted) service.LoadAdList(list);
}

}  // namespace

std::optional<FetchedAd> ReadFetchedAd(const std::string& record) {
    const std::string text = ReplaceAll(record, "\",\"", ",");
    const RecordPieces pieces(text);
    if (pieces.Count() != RecordPieces::kCount || pieces.More()) return std::nullopt;
    FetchedAd ad;
    ad.id = ReplaceAll(*pieces[0], "\"", "");
    ad.title = *pieces[1];
    ad.subtitle = *pieces[2];
    ad.url = *pieces[3];
    ad.content = *pieces[4];
    ad.picture = *pieces[5];
    ad.active = ReplaceAll(*pieces[8], "\"", "") == "1";
    return ad;
}

void AddPictureAd(AdListModel& list, AdService& service, HttpClient& client, Messages& messages,
                  QWidget* parent) {
    TfrmPictureAd dialog(service, client, messages, parent);
    ShowEditor(dialog, list, service);
}

void EditPictureAd(const QTreeView& lvwItems, AdListModel& list, AdService& service,
                   HttpClient& client, Messages& messages, QWidget* parent) {
    std::string id;
    if (!HighlightedAdId(lvwItems, id)) {
        messages.Warning("You need to select first a Picture Ad.");
        return;
    }
    std::string record;
    if (!service.FetchAd(id, record)) return;
    const std::optional<FetchedAd> ad = ReadFetchedAd(record);
    if (!ad) {
        // Opening it would put shifted values into the fields, and saving them would
        // overwrite the real ones.
        messages.Warning(
            "This Ad cannot be edited: one of its fields holds a comma, which the server's reply "
            "cannot carry, so its fields cannot be told apart. Please delete it and add it again "
            "without the comma.");
        return;
    }
    TfrmPictureAd dialog(service, client, messages, parent);
    dialog.setWindowTitle("Edit Picture Ad");
    dialog.AdId = ad->id;
    dialog.SetFields(ad->title, ad->subtitle, ad->url, ad->content, ad->picture, ad->active);
    ShowEditor(dialog, list, service);
}
