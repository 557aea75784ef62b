#include "CurlSession.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <new>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 4.0)";
constexpr const char* kAccept = "Accept: text/html, */*";
constexpr long kMaxRedirects = 15;
// How long the transfer thread sleeps at most between looks at the abort flag and the
// read time-out; Wake cuts the sleep short.
constexpr int kPollMs = 50;

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) throw std::bad_alloc();
    });
}

struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

struct ReplySink {
    CURL* easy = nullptr;
    std::string body;
    size_t limit = 0;
    // Header and body bytes received so far; any change counts as activity for the time-out.
    size_t received = 0;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto& sink = *static_cast<ReplySink*>(user);
    const size_t n = size * count;
    sink.received += n;
    if (n > sink.limit - std::min(sink.limit, sink.body.size())) return 0;  // a write error
    if (sink.body.empty()) {
        // A reply of known length is held in exactly its size: a large ad list is kept as it
        // arrives, and growing it piece by piece could leave up to twice its size allocated.
        curl_off_t length = -1;
        curl_easy_getinfo(sink.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        if (length > 0) sink.body.reserve(std::min(static_cast<size_t>(length), sink.limit));
    }
    sink.body.append(data, n);
    return n;
}

size_t OnHeader(char*, size_t size, size_t count, void* user) {
    static_cast<ReplySink*>(user)->received += size * count;
    return size * count;
}

// Every per-request setting of the client, in one place. Settings that hold for the whole
// run (cookie engine, no signals) are made once when the session is created.
void Configure(CURL* easy, const TransferRequest& request, curl_slist* headers, ReplySink& sink) {
    curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    // An empty proxy also overrides the proxy environment variables.
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    // No connection outlives its request, so every post opens a new one and nothing is
    // left open between requests.
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &sink);
    if (request.post) {
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
}

// Bytes moved in either direction so far.
curl_off_t Progress(CURL* easy, const ReplySink& sink) {
    curl_off_t sent = 0;
    curl_easy_getinfo(easy, CURLINFO_SIZE_UPLOAD_T, &sent);
    return sent + static_cast<curl_off_t>(sink.received);
}

// Runs the added transfer until it ends, is aborted or waits longer than the read time-out
// for any data. CURLE_OK only for a transfer that completed.
CURLcode Drive(CURLM* multi, CURL* easy, const TransferRequest& request, const ReplySink& sink,
               const std::atomic<bool>& abort) {
    const auto timeout = std::chrono::milliseconds(request.readTimeoutMs);
    auto lastActivity = Clock::now();
    curl_off_t progress = 0;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) return CURLE_FAILED_INIT;
        if (running == 0) break;
        if (abort) return CURLE_ABORTED_BY_CALLBACK;
        const curl_off_t now = Progress(easy, sink);
        if (now != progress) {
            progress = now;
            lastActivity = Clock::now();
        } else if (request.readTimeoutMs > 0 && Clock::now() - lastActivity >= timeout) {
            return CURLE_OPERATION_TIMEDOUT;
        }
        if (curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK)
            return CURLE_FAILED_INIT;
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
            return message->data.result;
    }
    return CURLE_FAILED_INIT;
}

}  // namespace

CurlSession::CurlSession() {
    InitCurlOnce();
    easy_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (!easy_ || !multi_) {
        curl_easy_cleanup(easy_);
        curl_multi_cleanup(multi_);
        throw std::bad_alloc();
    }
    // Cookies are kept in memory for the run and never written anywhere.
    curl_easy_setopt(easy_, CURLOPT_COOKIEFILE, "");
    // The transfer runs on a thread of its own; signals must not be used.
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
}

CurlSession::~CurlSession() {
    curl_multi_cleanup(multi_);
    curl_easy_cleanup(easy_);
}

std::optional<std::string> CurlSession::Run(const TransferRequest& request,
                                            const std::atomic<bool>& abort) {
    HeaderList headers(curl_slist_append(nullptr, kAccept));
    if (!headers) return std::nullopt;
    const std::string contentType = "Content-Type: " + request.contentType;
    if (!curl_slist_append(headers.get(), contentType.c_str())) return std::nullopt;

    ReplySink sink;
    sink.easy = easy_;
    sink.limit = request.maxReplyBytes;
    Configure(easy_, request, headers.get(), sink);
    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) return std::nullopt;
    const CURLcode result = Drive(multi_, easy_, request, sink, abort);
    long status = 0;
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
    // Removing the handle also ends a transfer that is still under way.
    curl_multi_remove_handle(multi_, easy_);
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, nullptr);
    if (result != CURLE_OK || status < 200 || status > 299) return std::nullopt;
    return std::move(sink.body);
}

void CurlSession::Wake() { curl_multi_wakeup(multi_); }
