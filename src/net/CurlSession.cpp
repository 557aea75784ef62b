#include "CurlSession.h"

#include <QSocketNotifier>
#include <algorithm>
#include <stdexcept>

#include "CurlLibrary.h"

namespace {

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 4.0)";
constexpr const char* kAccept = "Accept: text/html, */*";
constexpr long kMaxRedirects = 15;

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
    if (!headers_ || !curl_.slist_append(headers_, contentType.c_str())) {
        Stop();
        return false;
    }
    body_.clear();
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
        Set(CURLOPT_MAXREDIRS, kMaxRedirects) && Set(CURLOPT_PROTOCOLS_STR, "http") &&
        Set(CURLOPT_REDIR_PROTOCOLS_STR, "http") &&
        // An empty proxy also overrides the proxy environment variables.
        Set(CURLOPT_PROXY, "") &&
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
}

void CurlSession::Finish(std::optional<std::string> result) {
    Finished finished = std::move(finished_);
    Stop();
    if (finished) finished(std::move(result));
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
        const bool ok = message->data.result == CURLE_OK && status >= 200 && status <= 299;
        Finish(ok ? std::optional<std::string>(std::move(body_)) : std::nullopt);
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

size_t CurlSession::OnHeader(char*, size_t size, size_t count, void* self) {
    static_cast<CurlSession*>(self)->lastActivity_ = Clock::now();
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
