#pragma once

#include <QObject>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TransferFailure.h"

class CurlSession;
class QEventLoop;
struct TransferRequest;

// The program's one HTTP client. A request blocks its caller, but while it waits the
// caller's event loop runs, so the windows repaint and stay usable, and the same loop drives
// the transfer. It serves one request at a time: a request made while another waits fails at
// once, like a network failure, and reaches no server. Windows follow busyChanged to make
// whatever would start a second request unavailable meanwhile.
//
// Every failure (network, refused connection, read time-out, a status outside 200 to 299
// after redirects, a URL that is neither http nor https, a certificate that is not trusted or
// does not name the host, an https address sending the request on to a plain one, a reply over
// the size limit, Cancel, Disconnect, the application quitting, libcurl failing to start or
// refusing one of the client's settings) gives nullopt; LastFailure says what is known of it.
class HttpClient : public QObject {
    Q_OBJECT
  public:
    static constexpr int kNoTimeout = 0;
    // A million ads of a few hundred bytes each fit with room to spare.
    static constexpr size_t kDefaultMaxReplyBytes = size_t{1} << 30;

    // Makes the libcurl session at the first request; it may throw.
    using SessionMaker = std::function<std::unique_ptr<CurlSession>()>;

    explicit HttpClient(SessionMaker makeSession = nullptr);
    // Must not be destroyed while a request waits.
    ~HttpClient() override;
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // The longest wait for data, in milliseconds; kNoTimeout (the start value) waits
    // without limit.
    void SetReadTimeout(int milliseconds) { readTimeoutMs_ = milliseconds; }
    int ReadTimeout() const { return readTimeoutMs_; }

    void SetMaxReplyBytes(size_t bytes) { maxReplyBytes_ = bytes; }
    size_t MaxReplyBytes() const { return maxReplyBytes_; }
    // The bytes of reply the client holds: those of a waiting request, none after it.
    size_t HeldReplyBytes() const;

    // Sent with every request: "text/html" until the first post, then the content type of
    // the latest post.
    const std::string& ContentType() const { return contentType_; }

    // A plain HTTP/1.1 GET.
    std::optional<std::string> Get(const std::string& url);
    // An HTTP/1.0 POST of `body` on a new connection; `contentType` stays for later requests,
    // `headers` ("Name: value") go with this one only.
    std::optional<std::string> Post(const std::string& url, const std::string& contentType,
                                    const std::string& body, std::vector<std::string> headers = {});

    // The latest request's failure: empty after a success, and after a failure that
    // reached no server.
    const HttpFailure& LastFailure() const { return lastFailure_; }
    // `message`, followed on a line of its own by the latest failure's reason when it has one.
    std::string Explained(const std::string& message) const;

    // Gives up a waiting request, which then fails like a network failure; the client stays
    // usable. The owner's way out of a slow server.
    void Cancel();
    // Ends a waiting request and refuses every later one. Called when the main window closes,
    // so nothing reaches a server after that.
    void Disconnect();

    bool Busy() const { return busy_; }
    // Whether the latest request ended because Cancel or Disconnect gave it up.
    bool GivenUp() const { return givenUp_; }

  signals:
    void busyChanged(bool busy);

  private:
    std::optional<std::string> Perform(TransferRequest request);
    bool StartSession();
    void SetBusy(bool busy);

    int readTimeoutMs_ = kNoTimeout;
    size_t maxReplyBytes_ = kDefaultMaxReplyBytes;
    std::string contentType_ = "text/html";
    bool busy_ = false;
    bool givenUp_ = false;
    HttpFailure lastFailure_;
    bool disconnected_ = false;

    SessionMaker makeSession_;
    std::unique_ptr<CurlSession> session_;
    // The loop of the waiting request, which its end quits.
    QEventLoop* loop_ = nullptr;
};
