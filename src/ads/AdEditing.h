#pragma once

#include <optional>
#include <string>

class AdListModel;
class AdService;
class HttpClient;
class Messages;
class QTreeView;
class QWidget;

// A fetched ad as the editor shows it: the id without its quotes, the five texts, and
// whether it is active.
struct FetchedAd {
    std::string id, title, subtitle, url, content, picture;
    bool active = false;
};

// The fetch reply's record cut into its fields. A record that does not cut into exactly nine
// pieces holds a comma in a field (or lacks fields): its fields cannot be told apart, so
// there is nothing to edit.
std::optional<FetchedAd> ReadFetchedAd(const std::string& record);

// Add Ad: the editor in add mode; after an Ok close the list is reloaded.
void AddPictureAd(AdListModel& list, AdService& service, HttpClient& client, Messages& messages,
                  QWidget* parent);

// Edit Ad: the highlighted row's ad fetched fresh from the server and opened in the editor;
// after an Ok close the list is reloaded.
void EditPictureAd(const QTreeView& lvwItems, AdListModel& list, AdService& service,
                   HttpClient& client, Messages& messages, QWidget* parent);
