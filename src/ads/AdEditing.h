#pragma once

#include <string>
#include <variant>

class AdListModel;
class AdService;
class HttpClient;
class Messages;
class PictureChooser;
class QTreeView;
class QWidget;

// A fetched ad as the editor shows it: the id without its quotes, the five texts, and
// whether it is active.
struct FetchedAd {
    std::string id, title, subtitle, url, content, picture;
    bool active = false;
};

// Why a fetched record opens no editor: more than nine pieces (a field holds a comma, so the
// fields cannot be told apart) or fewer (the reply lacks fields).
enum class UnreadableAd { ExtraPieces, MissingPieces };

// The fetch reply's record cut into its fields; only a record of exactly nine pieces can be
// edited.
std::variant<FetchedAd, UnreadableAd> ReadFetchedAd(const std::string& record);

// Add Ad: the editor in add mode; after an Ok close the list is reloaded.
void AddPictureAd(AdListModel& list, AdService& service, HttpClient& client, Messages& messages,
                  PictureChooser& chooser, QWidget* parent);

// Edit Ad: the highlighted row's ad fetched fresh from the server and opened in the editor;
// the server's copy of its picture is fetched once for the editor to show; after an Ok close
// the list is reloaded.
void EditPictureAd(const QTreeView& lvwItems, AdListModel& list, AdService& service,
                   HttpClient& client, Messages& messages, PictureChooser& chooser,
                   QWidget* parent);
