#include "CurlSession.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "Ascii.h"
#include "CurlLibrary.h"
#include "HttpUrl.h"

namespace {

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 4.0)";
constexpr const char* kAccept = "Accept: text/html, */*";
constexpr long kMaxRedirects = 15;
// OpenSSL's verdicts on a certificate that are about its name, not its chain: OpenSSL's own
// check of the host name, and the "unspecified" or "no error" that libcurl leaves behind when
// it checks the name itself once the chain is trusted.
constexpr long kHostNameMismatch = 62;
constexpr long kUnspecified = 1;

// The environment variable's value, or nullptr when it is unset or empty.
const char* Environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// A string the library reports about itself, or empty.
std::string Info(const CurlLibrary& curl, CURL* easy, CURLINFO what) {
    char* value = nullptr;
    if (curl.easy_getinfo(easy, what, &value) != CURLE_OK || !value) return {};
    return value;
}

// The value of a "Name: value" header line when it is named `name` (any letter case).
std::optional<std::string_view> HeaderValue(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line[name.size()] != ':') return std::nullopt;
    for (size_t i = 0; i < name.size(); ++i)
        if (AsciiLower(line[i]) != AsciiLower(name[i])) return std::nullopt;
    return Trimmed(line.substr(name.size() + 1), IsBlankOrControl);
}

}  // namespace

// The notifiers of one socket that libcurl asked to watch. They are kept for the next
// socket rather than deleted: a notifier may be the one whose signal is being handled when
// libcurl lets go of its socket, and making new ones for every connection costs time.
struct CurlSession::Watch {
    QSocketNotifier read{QSocketNotifier::Read};
    QSocketNotifier write{QSocketNotifier::Write};
};

CurlSession::CurlSession(const CurlLibrary& curl) : curl_(curl) {
    easy_ = curl_.easy_init();
    multi_ = curl_.multi_init();
    // Cookies are kept in memory for the run and never written anywhere.
    if (!easy_ || !multi_ || !Set(CURLOPT_COOKIEFILE, "") || !Set(CURLOPT_NOSIGNAL, 1L) ||
        !SetMulti(CURLMOPT_SOCKETFUNCTION, &CurlSession::OnSocket) ||
        !SetMulti(CURLMOPT_SOCKETDATA, this) ||
        !SetMulti(CURLMOPT_TIMERFUNCTION, &CurlSession::OnTimer) ||
        !SetMulti(CURLMOPT_TIMERDATA, this)) {
        curl_.easy_cleanup(easy_);
        curl_.multi_cleanup(multi_);
        throw std::runtime_error("libcurl refused to start a session");
    }
    defaultCaFile_ = Info(curl_, easy_, CURLINFO_CAINFO);
    defaultCaDir_ = Info(curl_, easy_, CURLINFO_CAPATH);
    curlTimer_.setSingleShot(true);
    connect(&curlTimer_, &QTimer::timeout, this, [this] { Act(CURL_SOCKET_TIMEOUT, 0); });
    readTimer_.setSingleShot(true);
    connect(&readTimer_, &QTimer::timeout, this, &CurlSession::CheckReadTimeout);
}

CurlSession::~CurlSession() {
    Stop();
    curl_.multi_cleanup(multi_);
    curl_.easy_cleanup(easy_);
}

bool CurlSession::Start(TransferRequest request, Finished finished) {
    Stop();
    request_ = std::move(request);
    headers_ = curl_.slist_append(nullptr, kAccept);
    const std::string contentType = "Content-Type: " + request_.contentType;
    bool listed = headers_ && curl_.slist_append(headers_, contentType.c_str());
    for (const std::string& header : request_.headers)
        listed = listed && curl_.slist_append(headers_, header.c_str());
    if (!listed) {
        Stop();
        return false;
    }
    date_.clear();
    progress_ = 0;

    if (!SetRequestOptions() || curl_.multi_add_handle(multi_, easy_) != CURLM_OK) {
        Stop();
        return false;
    }
    running_ = true;
    finished_ = std::move(finished);
    lastActivity_ = Clock::now();
    if (request_.readTimeoutMs > 0) readTimer_.start(request_.readTimeoutMs);
    return true;
}

// Every per-request setting of the client, in one place. Settings that hold for the whole run
// (cookie engine, no signals) are made once when the session is created.
bool CurlSession::SetRequestOptions() {
    const bool set =
        Set(CURLOPT_URL, request_.url.c_str()) && Set(CURLOPT_USERAGENT, kUserAgent) &&
        Set(CURLOPT_HTTPHEADER, headers_) && Set(CURLOPT_FOLLOWLOCATION, 1L) &&
        Set(CURLOPT_MAXREDIRS, kMaxRedirects) && Set(CURLOPT_PROTOCOLS_STR, "http,https") &&
        // A secure request never goes on to a plain address.
        Set(CURLOPT_REDIR_PROTOCOLS_STR, IsHttpsUrl(request_.url) ? "https" : "http,https") &&
        SetTlsOptions() &&
        // An empty proxy also overrides the proxy environment variables.
        Set(CURLOPT_PROXY, "") &&
        // A reply that says it is too long fails before any of it is kept.
        Set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request_.maxReplyBytes)) &&
        // No connection outlives its request, so every post opens a new one and nothing is
        // left open between requests.
        Set(CURLOPT_FORBID_REUSE, 1L) && Set(CURLOPT_FRESH_CONNECT, 1L) &&
        Set(CURLOPT_WRITEFUNCTION, &CurlSession::OnBody) && Set(CURLOPT_WRITEDATA, this) &&
        Set(CURLOPT_HEADERFUNCTION, &CurlSession::OnHeader) && Set(CURLOPT_HEADERDATA, this) &&
        Set(CURLOPT_NOPROGRESS, 0L) && Set(CURLOPT_XFERINFOFUNCTION, &CurlSession::OnProgress) &&
        Set(CURLOPT_XFERINFODATA, this);
    if (!set) return false;
    if (request_.post) {
        return Set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0)) &&
               Set(CURLOPT_POST, 1L) &&
               Set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request_.body.size())) &&
               Set(CURLOPT_POSTFIELDS, request_.body.data());
    }
    return Set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) &&
           Set(CURLOPT_HTTPGET, 1L);
}

// The certificate and the host name are checked (libcurl's defaults, never turned off here)
// against the system's store, or the one the environment names as it would for any OpenSSL
// program: read at each request, since the store may be given only for one.
bool CurlSession::SetTlsOptions() {
    const char* caFile = Environment("SSL_CERT_FILE");
    const char* caDir = Environment("SSL_CERT_DIR");
    if (!caFile) caFile = defaultCaFile_.empty() ? nullptr : defaultCaFile_.c_str();
    if (!caDir) caDir = defaultCaDir_.empty() ? nullptr : defaultCaDir_.c_str();
    return Set(CURLOPT_SSL_VERIFYPEER, 1L) && Set(CURLOPT_SSL_VERIFYHOST, 2L) &&
           Set(CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2)) &&
           Set(CURLOPT_CAINFO, caFile) && Set(CURLOPT_CAPATH, caDir);
}

// What the owner can be told of a failed transfer beyond "it failed".
HttpFailure CurlSession::Failure(CURLcode result, long status) {
    HttpFailure failure;
    if (result == CURLE_OK) {
        failure.status = status;
        failure.body = std::move(body_);
        failure.date = date_;
        return failure;
    }
    switch (result) {
        case CURLE_PEER_FAILED_VERIFICATION: {
            long verified = 0;
            curl_.easy_getinfo(easy_, CURLINFO_SSL_VERIFYRESULT, &verified);
            failure.reason = verified <= kUnspecified || verified == kHostNameMismatch
                                 ? kCertificateNamesAnotherHost
                                 : kUntrustedCertificate;
            break;
        }
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_INVALIDCERTSTATUS:
            failure.reason = kNoSecureConnection;
            break;
        case CURLE_UNSUPPORTED_PROTOCOL:
            // The address itself was checked before it was handed over: only a redirect can
            // lead to a scheme the request refuses.
            if (IsHttpsUrl(request_.url)) failure.reason = kInsecureRedirect;
            break;
        default:
            break;
    }
    return failure;
}

void CurlSession::Abort() { Stop(); }

void CurlSession::Stop() {
    curlTimer_.stop();
    readTimer_.stop();
    if (running_) {
        running_ = false;
        // Removing the handle also ends a transfer that is still under way, and lets go of
        // its sockets.
        curl_.multi_remove_handle(multi_, easy_);
    }
    while (!watches_.empty()) WatchSocket(watches_.begin()->first, CURL_POLL_REMOVE);
    // Letting go of the header list only clears a pointer, which libcurl never refuses.
    curl_.easy_setopt(easy_, CURLOPT_HTTPHEADER, nullptr);
    curl_.slist_free_all(headers_);
    headers_ = nullptr;
    finished_ = nullptr;
    // Nothing of a transfer stays held until the next: a failed reply of hundreds of
    // megabytes would otherwise stay allocated under the list that the owner sees.
    std::string().swap(body_);
    std::string().swap(request_.body);
}

void CurlSession::Finish(std::optional<std::string> result, HttpFailure failure) {
    Finished finished = std::move(finished_);
    Stop();
    if (finished) finished(std::move(result), std::move(failure));
}

int CurlSession::OnSocket(CURL*, curl_socket_t socket, int what, void* self, void*) {
    static_cast<CurlSession*>(self)->WatchSocket(socket, what);
    return 0;
}

void CurlSession::WatchSocket(curl_socket_t socket, int what) {
    auto found = watches_.find(socket);
    if (what == CURL_POLL_REMOVE) {
        if (found == watches_.end()) return;
        found->second->read.setEnabled(false);
        found->second->write.setEnabled(false);
        spare_.push_back(std::move(found->second));
        watches_.erase(found);
        return;
    }
    if (found == watches_.end()) {
        std::unique_ptr<Watch> watch;
        if (spare_.empty()) {
            watch = std::make_unique<Watch>();
            connect(&watch->read, &QSocketNotifier::activated, this,
                    [this](QSocketDescriptor s) { Act(s, CURL_CSELECT_IN); });
            connect(&watch->write, &QSocketNotifier::activated, this,
                    [this](QSocketDescriptor s) { Act(s, CURL_CSELECT_OUT); });
        } else {
            watch = std::move(spare_.back());
            spare_.pop_back();
        }
        watch->read.setSocket(socket);
        watch->write.setSocket(socket);
        found = watches_.emplace(socket, std::move(watch)).first;
    }
    found->second->read.setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    found->second->write.setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
}

int CurlSession::OnTimer(CURLM*, long timeoutMs, void* self) {
    QTimer& timer = static_cast<CurlSession*>(self)->curlTimer_;
    if (timeoutMs < 0)
        timer.stop();
    else
        timer.start(static_cast<int>(std::min<long>(timeoutMs, 1 << 30)));
    return 0;
}

void CurlSession::Act(curl_socket_t socket, int events) {
    if (!running_) return;
    int running = 0;
    if (curl_.multi_socket_action(multi_, socket, events, &running) != CURLM_OK) {
        Finish(std::nullopt);
        return;
    }
    int queued = 0;
    while (CURLMsg* message = curl_.multi_info_read(multi_, &queued)) {
        if (message->msg != CURLMSG_DONE || message->easy_handle != easy_) continue;
        long status = 0;
        curl_.easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
        const CURLcode result = message->data.result;
        if (result == CURLE_OK && status >= 200 && status <= 299)
            Finish(std::move(body_));
        else
            Finish(std::nullopt, Failure(result, status));
        return;
    }
}

int CurlSession::OnProgress(void* self, curl_off_t, curl_off_t received, curl_off_t,
                            curl_off_t sent) {
    auto& session = *static_cast<CurlSession*>(self);
    // Any byte moved in either direction counts as activity for the read time-out.
    if (received + sent != session.progress_) {
        session.progress_ = received + sent;
        session.lastActivity_ = Clock::now();
    }
    return 0;
}

size_t CurlSession::OnBody(char* data, size_t size, size_t count, void* self) {
    auto& session = *static_cast<CurlSession*>(self);
    const size_t n = size * count;
    session.lastActivity_ = Clock::now();
    const size_t limit = session.request_.maxReplyBytes;
    if (n > limit - std::min(limit, session.body_.size())) return 0;  // a write error
    if (session.body_.empty()) {
        // A reply of known length is held in exactly its size: a large ad list is kept as it
        // arrives, and growing it piece by piece could leave up to twice its size allocated.
        curl_off_t length = -1;
        session.curl_.easy_getinfo(session.easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        if (length > 0) session.body_.reserve(std::min(static_cast<size_t>(length), limit));
    }
    session.body_.append(data, n);
    return n;
}

size_t CurlSession::OnHeader(char* data, size_t size, size_t count, void* self) {
    auto& session = *static_cast<CurlSession*>(self);
    session.lastActivity_ = Clock::now();
    const std::string_view line(data, size * count);
    // Each response of a redirect chain starts with its status line: only the last one's
    // date counts.
    if (line.starts_with("HTTP/")) session.date_.clear();
    if (const auto date = HeaderValue(line, "Date")) session.date_ = *date;
    return size * count;
}

void CurlSession::CheckReadTimeout() {
    if (!running_) return;
    const auto quiet =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastActivity_);
    const auto limit = std::chrono::milliseconds(request_.readTimeoutMs);
    if (quiet >= limit) {
        Finish(std::nullopt);
        return;
    }
    readTimer_.start(static_cast<int>((limit - quiet).count()));
}
