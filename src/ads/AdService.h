#pragma once

#include <QDateTime>
#include <functional>
#include <optional>
#include <string>

#include "AdRecord.h"
#include "FormPost.h"
#include "SignatureRefusal.h"

class HttpClient;
class AdListModel;

// The client side of the actions script on the owner's site. Every operation is one
// multipart form post to the site URL + "/" + the script name, both read at each operation,
// since the owner may change the site URL meanwhile; the reply is tested as the
// script answers. Each post is signed with the owner key, so the script can tell its owner
// from a stranger. No message is shown: the callers tell the owner, with FailureMessage.
class AdService {
  public:
    // Add and edit results.
    enum Result { kFailed = 0, kDone = 1, kRefused = 2 };

    // What became of a picture's upload. kRefused carries the script's one line on what is
    // wrong with the picture; kUnknownAction is a server whose scripts cannot receive
    // pictures; kFailed is every other failure, told with FailureMessage.
    struct Upload {
        enum Outcome { kFailed, kDone, kExists, kRefused, kUnknownAction };
        Outcome outcome = kFailed;
        std::string reason;
    };

    // The most a picture may weigh, here and in the script.
    static constexpr qint64 kMaxPictureBytes = qint64{5} << 20;

    static constexpr int kReadTimeoutMs = 60000;

    using Clock = std::function<QDateTime()>;

    using Refusal = SignatureRefusal;

    // `clock` stamps each form's boundary and signature. `webserver`, `script` and `ownerKey`
    // must outlive the service; without a sound key the posts go unsigned.
    AdService(
        HttpClient& client, const std::string& webserver, const std::string& script,
        const std::string& ownerKey, Clock clock = [] { return QDateTime::currentDateTime(); });

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
    // Sends `bytes` as they are to be stored under `name` in the scripts' Pictures folder;
    // kExists when a picture of that name is there already and `replace` is false.
    Upload UploadPicture(const std::string& name, const std::string& bytes, bool replace);
    // The site's own copy of the picture `name`, with a plain GET of the Pictures folder (no
    // signature: the web server hands the folder out to everyone); nullopt when it fails or
    // weighs more than a picture may.
    std::optional<std::string> FetchPicture(const std::string& name);

    // Any other operation of the script: `fields` posted after the action and before "end",
    // signed like the others. The reply, or nullopt when the post failed in any way.
    std::optional<std::string> PostAction(const char* action, FormFields fields);

    // Why the script refused the latest operation's signature, when it did.
    Refusal LastRefusal() const { return refusal_; }
    // What the owner is told when the latest operation failed: what the server's refusal of
    // its signature means and how to mend it; otherwise `usual`, followed by a line on why a
    // secure connection failed when one did.
    std::string FailureMessage(const std::string& usual) const;

  private:
    MultipartForm Form(const char* action, FormFields fields) const;
    // The reply, or nullopt when the post failed in any way. A signature the server finds
    // stale is made once more by the server's clock.
    std::optional<std::string> Post(const MultipartForm& form);
    std::optional<std::string> PostSigned(const MultipartForm& form);
    // The reply, or "BAD" when the post failed: "BAD" fails every test.
    std::string Send(const char* action, FormFields fields = {});
    std::string Url() const;

    HttpClient& client_;
    const std::string& webserver_;
    const std::string& script_;
    const std::string& ownerKey_;
    Clock clock_;
    // How far the server's clock is ahead of ours, in seconds, once a stale signature has
    // shown it; kept for the rest of the run.
    qint64 clockOffset_ = 0;
    Refusal refusal_ = Refusal::kNone;
};
