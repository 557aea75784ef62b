#include "AdService.h"

#include <QByteArray>

#include "AdList.h"
#include "Ascii.h"
#include "HttpClient.h"
#include "OwnerKey.h"
#include "ReplaceAll.h"
#include "RequestSignature.h"

namespace {

constexpr const char* kBad = "BAD";
constexpr const char* kOk = "OK";
constexpr std::size_t kNonceBytes = 16;

// A reply's Date header ("Wed, 09 Dec 2026 10:00:00 GMT"); invalid when it is no date.
QDateTime HttpDate(std::string date) {
    // Qt reads the zone of an e-mail date as an offset only.
    if (date.ends_with(" GMT")) date.replace(date.size() - 3, 3, "+0000");
    return QDateTime::fromString(QString::fromStdString(date), Qt::RFC2822Date);
}

bool Contains(const std::string& text, const char* what) {
    return text.find(what) != std::string::npos;
}

// Add and edit share the fields that describe an ad, in the order the script reads them.
FormFields AdFields(const AdRecord& ad) {
    return {{"ad_id", ad.ad_id},        {"ad_title", ad.ad_title}, {"ad_subtitle", ad.ad_subtitle},
            {"ad_url", ad.ad_url},      {"ad_text", ad.ad_text},   {"ad_picture", ad.ad_picture},
            {"ad_enable", ad.ad_enable}};
}

// The list part of a list reply, or nullopt when the reply is no list. A list reply ends
// with "OK": alone when the server holds no ads, otherwise right after the last record's
// "^"; blanks and line breaks may follow. Anything else, such as a host's or proxy's error
// page that merely contains "OK", is a failed load. A NUL byte would hide every record after
// it, so a reply holding one is a failed load too.
// The reply is taken over, not copied: a list may be large.
std::optional<std::string> ListReply(std::string reply) {
    if (reply.find('\0') != std::string::npos) return std::nullopt;
    reply.resize(reply.find_last_not_of(" \t\r\n") + 1);  // npos + 1 empties it
    if (reply != kOk && !reply.ends_with("^OK")) return std::nullopt;
    return reply;
}

// The script's answer to an upload. It names what is wrong with a picture in one line, with
// status 400 (413 when PHP dropped a post over its limit); scripts older than the upload
// answer "UNKNOWN ACTION", or, older still, nothing at all.
AdService::Upload UploadOutcome(const std::optional<std::string>& reply,
                                const HttpFailure& failure) {
    constexpr long kBadRequest = 400, kTooLarge = 413;
    using Upload = AdService::Upload;
    if (reply) {
        const std::string_view said = Trimmed(*reply, IsBlankOrControl);
        if (said == kOk) return {Upload::kDone, ""};
        if (said == "EXIST PICTURE") return {Upload::kExists, ""};
        if (said.empty()) return {Upload::kUnknownAction, ""};
        return {Upload::kRefused, std::string(said)};
    }
    if (failure.status != kBadRequest && failure.status != kTooLarge) return {};
    const std::string said(Trimmed(failure.body, IsBlankOrControl));
    if (said == "UNKNOWN ACTION") return {Upload::kUnknownAction, ""};
    return {Upload::kRefused, said};
}

int Outcome(const std::string& reply, const char* refusal) {
    if (reply == kOk) return AdService::kDone;
    if (reply == refusal) return AdService::kRefused;
    return AdService::kFailed;
}

}  // namespace

AdService::AdService(HttpClient& client, const std::string& webserver, const std::string& script,
                     const std::string& ownerKey, Clock clock)
    : client_(client),
      webserver_(webserver),
      script_(script),
      ownerKey_(ownerKey),
      clock_(std::move(clock)) {}

std::string AdService::Url() const { return webserver_ + "/" + script_; }

MultipartForm AdService::Form(const char* action, FormFields fields) const {
    fields.insert(fields.begin(), {"action", action});
    fields.emplace_back("end", "");
    return BuildForm(fields, clock_());
}

std::optional<std::string> AdService::PostSigned(const MultipartForm& form) {
    std::vector<std::string> headers;
    if (IsOwnerKey(ownerKey_)) {
        const qint64 now = clock_().toSecsSinceEpoch() + clockOffset_;
        headers.push_back(SignatureHeader(ownerKey_, now, RandomHex(kNonceBytes), form.body));
    }
    std::optional<std::string> reply = client_.Post(Url(), form.contentType, form.body, headers);
    refusal_ = reply ? Refusal::kNone : RefusalOf(client_.LastFailure());
    return reply;
}

std::optional<std::string> AdService::Post(const MultipartForm& form) {
    std::optional<std::string> reply = PostSigned(form);
    if (refusal_ != Refusal::kStaleSignature) return reply;
    // A wrong clock here or there must not lock the owner out: the server's own time, from
    // its refusal, signs the request once more.
    const QDateTime server = HttpDate(client_.LastFailure().date);
    if (!server.isValid()) return reply;
    clockOffset_ = server.toSecsSinceEpoch() - clock_().toSecsSinceEpoch();
    return PostSigned(form);
}

std::string AdService::FailureMessage(const std::string& usual) const {
    if (refusal_ != Refusal::kNone) return RefusalMessage(refusal_);
    return client_.Explained(usual);
}

std::optional<std::string> AdService::PostAction(const char* action, FormFields fields) {
    client_.SetReadTimeout(kReadTimeoutMs);
    return Post(Form(action, std::move(fields)));
}

std::string AdService::Send(const char* action, FormFields fields) {
    return PostAction(action, std::move(fields)).value_or(kBad);
}

bool AdService::CheckService() { return Send("1") == kOk; }

int AdService::AddAd(const AdRecord& ad) {
    client_.SetReadTimeout(kReadTimeoutMs);
    FormFields fields = AdFields(ad);
    fields.emplace_back("ad_impressions", ad.ad_impressions);
    fields.emplace_back("ad_clicks", ad.ad_clicks);
    const MultipartForm form = Form("2", std::move(fields));
    // The script is asked for once before the post; when even that fails, nothing is added.
    refusal_ = Refusal::kNone;
    if (!client_.Get(Url())) return kFailed;
    return Outcome(Post(form).value_or(kBad), "EXIST RECORD");
}

int AdService::EditAd(const AdRecord& ad) {
    return Outcome(Send("3", AdFields(ad)), "DON'T EXIST RECORD");
}

bool AdService::DeleteAds(const std::string& ids) {
    return Send("4", {{"qlspotdeleteids", ids}}) == kOk;
}

bool AdService::LoadAdList(AdListModel& lvwItems) {
    std::optional<std::string> list = ListReply(Send("5"));
    return list && FillAdList(lvwItems, std::move(*list));
}

bool AdService::FetchAd(const std::string& ad_id, std::string& record) {
    client_.SetReadTimeout(kReadTimeoutMs);
    const std::optional<std::string> reply = Post(Form("9", {{"ad_id", ad_id}}));
    if (!reply) return false;
    record = ReplaceAll(*reply, "^OK", "");
    // "OK" alone means the server has no such ad; "^OK" alone carries no record either.
    if (record == kOk || record.empty()) return false;
    return Contains(*reply, kOk);
}

AdService::Upload AdService::UploadPicture(const std::string& name, const std::string& bytes,
                                           bool replace) {
    FormFields fields = {{"ad_picture", name}, {"picture_data", bytes}};
    if (replace) fields.emplace_back("replace", "1");
    client_.SetReadTimeout(kReadTimeoutMs);
    const std::optional<std::string> reply = Post(Form("6", std::move(fields)));
    if (refusal_ != Refusal::kNone) return {};
    return UploadOutcome(reply, client_.LastFailure());
}

std::optional<std::string> AdService::FetchPicture(const std::string& name) {
    const QByteArray path = QByteArray::fromStdString(name).toPercentEncoding();
    client_.SetReadTimeout(kReadTimeoutMs);
    const size_t usual = client_.MaxReplyBytes();
    client_.SetMaxReplyBytes(size_t(kMaxPictureBytes));
    std::optional<std::string> picture =
        client_.Get(webserver_ + "/Pictures/" + path.toStdString());
    client_.SetMaxReplyBytes(usual);
    return picture;
}
