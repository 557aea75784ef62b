#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class CurlSession;
class QEventLoop;
struct TransferRequest;

// The program's one HTTP client. A request blocks its caller, but the transfer runs on a
// thread of the client while the caller's thread keeps processing window messages, so the
// windows repaint and stay usable. It serves one request at a time: a request made while
// another waits fails at once, like a network failure, and reaches no server. Windows
// follow busyChanged to make whatever would start a second request unavailable meanwhile.
//
// Every failure (network, refused connection, read time-out, a status outside 200 to 299
// after redirects, a URL that is not plain http, a reply over the size limit, Cancel,
// Disconnect, libcurl or the transfer thread failing to start) gives nullopt.
class HttpClient : public QObject {
    Q_OBJECT
  public:
    static constexpr int kNoTimeout = 0;
    static constexpr size_t kDefaultMaxReplyBytes = size_t{64} << 20;

    // Makes the libcurl session at the first request; it may throw.
    using SessionMaker = std::function<std::unique_ptr<CurlSession>()>;

    explicit HttpClient(SessionMaker makeSession = nullptr);
    // Must not be destroyed while a request waits.
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // The longest wait for data, in milliseconds; kNoTimeout (the start value) waits
    // without limit.
    void SetReadTimeout(int milliseconds) { readTimeoutMs_ = milliseconds; }
    int ReadTimeout() const { return readTimeoutMs_; }

    void SetMaxReplyBytes(size_t bytes) { maxReplyBytes_ = bytes; }
    size_t MaxReplyBytes() const { return maxReplyBytes_; }

    // Sent with every request: "text/html" until the first post, then the content type of
    // the latest post.
    const std::string& ContentType() const { return contentType_; }

    // A plain HTTP/1.1 GET.
    std::optional<std::string> Get(const std::string& url);
    // An HTTP/1.0 POST of `body` on a new connection; `contentType` stays for later requests.
    std::optional<std::string> Post(const std::string& url, const std::string& contentType,
                                    const std::string& body);

    // Gives up a waiting request, which then fails like a network failure; the client stays
    // usable. The owner's way out of a slow server.
    void Cancel();
    // Ends a waiting request and refuses every later one. Called when the main window closes,
    // so nothing reaches a server after that.
    void Disconnect();

    bool Busy() const { return busy_; }

  signals:
    void busyChanged(bool busy);

  private:
    std::optional<std::string> Perform(TransferRequest request);
    bool Start();
    void WaitForReply();
    void TransferLoop();
    bool Done();

    int readTimeoutMs_ = kNoTimeout;
    size_t maxReplyBytes_ = kDefaultMaxReplyBytes;
    std::string contentType_ = "text/html";
    bool busy_ = false;
    bool disconnected_ = false;

    SessionMaker makeSession_;
    std::unique_ptr<CurlSession> session_;
    std::atomic<bool> abort_{false};
    QEventLoop* loop_ = nullptr;

    // Shared with the transfer thread.
    std::mutex mutex_;
    std::condition_variable wanted_;
    std::condition_variable finished_;
    std::unique_ptr<TransferRequest> job_;
    std::optional<std::string> result_;
    bool done_ = false;
    bool stopping_ = false;
    std::thread thread_;
};
