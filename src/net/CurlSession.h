#pragma once

#include <curl/curl.h>

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CurlLibrary.h"
#include "TransferFailure.h"

class QSocketNotifier;

// One request as the client hands it to the session.
struct TransferRequest {
    std::string url;
    bool post = false;
    std::string body;                  // posts only
    std::string contentType;           // the Content-Type header sent with the request
    std::vector<std::string> headers;  // further header lines, "Name: value"
    int readTimeoutMs = 0;             // longest wait for any data; 0 waits without limit
    size_t maxReplyBytes = 0;          // a longer reply fails
};

// The libcurl handles of the program's one HTTP client, driven by the event loop of the
// thread that owns the session: libcurl says which sockets to watch and when to call it back,
// and the event loop does the waiting, so a transfer needs no thread of its own and the
// windows keep working meanwhile. The easy handle lives as long as the session, so its cookie
// engine keeps the cookies of the whole run in memory.
class CurlSession : public QObject {
    Q_OBJECT
  public:
    // The reply body of a transfer that ended with a status from 200 to 299 after
    // redirects; nullopt for every failure, with what is known of it.
    using Finished = std::function<void(std::optional<std::string>, HttpFailure)>;

    // Throws when libcurl cannot be loaded or started, or refuses a setting of the session.
    explicit CurlSession(const CurlLibrary& curl = CurlLibrary::Get());
    ~CurlSession() override;
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    // Starts a transfer; `finished` is called once, from the event loop, when it ends.
    // False, calling nothing, when the transfer cannot start, among others when libcurl
    // refuses one of its settings: a rule it stands for must never silently go.
    bool Start(TransferRequest request, Finished finished);
    // Ends a running transfer at once; its `finished` is not called.
    void Abort();
    // The bytes of reply kept for the running transfer; none between transfers.
    size_t HeldReplyBytes() const { return body_.capacity(); }

  private:
    using Clock = std::chrono::steady_clock;
    struct Watch;

    static int OnSocket(CURL* easy, curl_socket_t socket, int what, void* self, void* socketp);
    static int OnTimer(CURLM* multi, long timeoutMs, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);

    template <class Value>
    bool Set(CURLoption option, Value value) {
        return curl_.easy_setopt(easy_, option, value) == CURLE_OK;
    }
    template <class Value>
    bool SetMulti(CURLMoption option, Value value) {
        return curl_.multi_setopt(multi_, option, value) == CURLM_OK;
    }
    bool SetRequestOptions();
    bool SetTlsOptions();
    HttpFailure Failure(CURLcode result, long status);
    void WatchSocket(curl_socket_t socket, int what);
    void Act(curl_socket_t socket, int events);
    void CheckReadTimeout();
    void Finish(std::optional<std::string> result, HttpFailure failure = {});
    void Stop();

    const CurlLibrary& curl_;
    CURL* easy_;
    CURLM* multi_;
    bool running_ = false;
    TransferRequest request_;
    Finished finished_;
    struct curl_slist* headers_ = nullptr;
    std::string body_;
    std::string date_;  // the Date header of the latest response
    curl_off_t progress_ = 0;
    Clock::time_point lastActivity_;
    std::map<curl_socket_t, std::unique_ptr<Watch>> watches_;
    std::vector<std::unique_ptr<Watch>> spare_;
    // libcurl's own certificate store, which the environment may replace for a request.
    std::string defaultCaFile_;
    std::string defaultCaDir_;
    QTimer curlTimer_;
    QTimer readTimer_;
};
