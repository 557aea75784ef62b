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

std::variant<FetchedAd, UnreadableAd> ReadFetchedAd(const std::string& record) {
    const std::string text = ReplaceAll(record, "\",\"", ",");
    const RecordPieces pieces(text);
    if (pieces.More()) return UnreadableAd::ExtraPieces;
    if (pieces.Count() != RecordPieces::kCount) return UnreadableAd::MissingPieces;
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
                  PictureChooser& chooser, QWidget* parent) {
    TfrmPictureAd dialog(service, client, messages, chooser, parent);
    ShowEditor(dialog, list, service);
}

void EditPictureAd(const QTreeView& lvwItems, AdListModel& list, AdService& service,
                   HttpClient& client, Messages& messages, PictureChooser& chooser,
                   QWidget* parent) {
    std::string id;
    if (!HighlightedAdId(lvwItems, id)) {
        messages.Warning("You need to select first a Picture Ad.");
        return;
    }
    std::string record;
    if (!service.FetchAd(id, record)) {
        // A failed fetch says nothing, as the list's own failures do, unless the server
        // refused the owner: that needs the owner's hand.
        if (service.LastRefusal() != AdService::Refusal::kNone)
            messages.Warning(service.FailureMessage(""));
        return;
    }
    const std::variant<FetchedAd, UnreadableAd> read = ReadFetchedAd(record);
    // Opening it would put shifted or missing values into the fields, and saving them would
    // overwrite the real ones.
    if (const UnreadableAd* fault = std::get_if<UnreadableAd>(&read)) {
        messages.Warning(
            *fault == UnreadableAd::ExtraPieces
                ? "This Ad cannot be edited: one of its fields holds a comma, which the server's "
                  "reply cannot carry, so its fields cannot be told apart. Please delete it and "
                  "add it again without the comma."
                : "This Ad cannot be edited: the server's reply lacks some of its fields. Please "
                  "check that the scripts on your server are up to date, then try again.");
        return;
    }
    const FetchedAd& ad = std::get<FetchedAd>(read);
    TfrmPictureAd dialog(service, client, messages, chooser, parent);
    dialog.setWindowTitle("Edit Picture Ad");
    dialog.AdId = ad.id;
    dialog.SetFields(ad.title, ad.subtitle, ad.url, ad.content, ad.picture, ad.active);
    dialog.ShowServerPicture();
    ShowEditor(dialog, list, service);
}
