#pragma once

#include <QDateTime>
#include <functional>
#include <optional>
#include <string>

#include "AdRecord.h"
#include "FormPost.h"

class HttpClient;
class AdListModel;

// The client side of the actions script on the owner's site. Every operation is one
// multipart form post to the site URL + "/" + the script name, both read at each operation,
// since the owner may change the site URL meanwhile; the reply is tested as the
// script answers. Nothing is kept between operations and no message is shown: the callers
// tell the owner.
class AdService {
  public:
    // Add and edit results.
    enum Result { kFailed = 0, kDone = 1, kRefused = 2 };

    static constexpr int kReadTimeoutMs = 60000;

    using Clock = std::function<QDateTime()>;

    // `clock` stamps each form's boundary. `webserver` and `script` must outlive the service.
    AdService(
        HttpClient& client, const std::string& webserver, const std::string& script,
        Clock clock = [] { return QDateTime::currentDateTime(); });

    // True exactly when the script answers "OK".
    bool CheckService();
    // kRefused when the server already holds an ad with that title. A plain GET of the
    // script comes first; when it fails nothing is posted.
    int AddAd(const AdRecord& ad);
    // The record's impressions and clicks are not sent. kRefused when the ad is gone.
    int EditAd(const AdRecord& ad);
    // `ids` joined by ",", or "all".
    bool DeleteAds(const std::string& ids);
    // Rebuilds `lvwItems` from the list reply (FillAdList). A failed request, or a reply
    // that is no list, leaves the rows as they are.
    bool LoadAdList(AdListModel& lvwItems);
    // On a reply, `record` becomes the reply without its "^OK" markers; after a failed
    // request it is left alone. True when the server sent a record.
    bool FetchAd(const std::string& ad_id, std::string& record);

  private:
    MultipartForm Form(const char* action, FormFields fields) const;
    // The reply, or nullopt when the post failed in any way.
    std::optional<std::string> Post(const MultipartForm& form);
    // The reply, or "BAD" when the post failed: "BAD" fails every test.
    std::string Send(const char* action, FormFields fields = {});
    std::string Url() const;

    HttpClient& client_;
    const std::string& webserver_;
    const std::string& script_;
    Clock clock_;
};
