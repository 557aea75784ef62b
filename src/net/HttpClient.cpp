#include "HttpClient.h"

#include <QEventLoop>

#include "CurlSession.h"
#include "HttpUrl.h"

HttpClient::HttpClient(SessionMaker makeSession) : makeSession_(std::move(makeSession)) {
    if (!makeSession_) makeSession_ = [] { return std::make_unique<CurlSession>(); };
}

HttpClient::~HttpClient() = default;

std::optional<std::string> HttpClient::Get(const std::string& url) {
    TransferRequest request;
    request.url = url;
    return Perform(std::move(request));
}

std::optional<std::string> HttpClient::Post(const std::string& url, const std::string& contentType,
                                            const std::string& body,
                                            std::vector<std::string> headers) {
    TransferRequest request;
    request.url = url;
    request.post = true;
    request.body = body;
    request.contentType = contentType;
    request.headers = std::move(headers);
    return Perform(std::move(request));
}

std::string HttpClient::Explained(const std::string& message) const {
    return lastFailure_.reason.empty() ? message : message + "\n" + lastFailure_.reason;
}

size_t HttpClient::HeldReplyBytes() const { return session_ ? session_->HeldReplyBytes() : 0; }

void HttpClient::Cancel() {
    if (!loop_) return;
    givenUp_ = true;
    loop_->quit();
}

void HttpClient::Disconnect() {
    disconnected_ = true;
    Cancel();
}

// libcurl starts with the first request, not with the window.
bool HttpClient::StartSession() {
    if (session_) return true;
    try {
        session_ = makeSession_();
    } catch (const std::exception&) {
        return false;
    }
    return session_ != nullptr;
}

void HttpClient::SetBusy(bool busy) {
    busy_ = busy;
    emit busyChanged(busy);
}

std::optional<std::string> HttpClient::Perform(TransferRequest request) {
    if (busy_) return std::nullopt;
    lastFailure_ = {};
    givenUp_ = disconnected_;
    if (disconnected_) return std::nullopt;
    // A post's content type stays for every later request, GETs included.
    if (request.post) contentType_ = request.contentType;
    request.contentType = contentType_;
    if (!IsWebUrl(request.url)) return std::nullopt;
    request.readTimeoutMs = readTimeoutMs_;
    request.maxReplyBytes = maxReplyBytes_;
    if (!StartSession()) return std::nullopt;

    std::optional<std::string> result;
    bool finished = false;
    QEventLoop loop;
    const bool started = session_->Start(
        std::move(request), [&](std::optional<std::string> reply, HttpFailure failure) {
            result = std::move(reply);
            lastFailure_ = std::move(failure);
            finished = true;
            loop.quit();
        });
    if (!started) return std::nullopt;
    // Busy from before the wait until after it, whatever a window does meanwhile.
    SetBusy(true);
    // One loop for the whole wait, which only the transfer's end or the owner's Cancel quits:
    // starting an event loop drops a quit that the application has already posted, so a loop
    // started again after a wake-up could swallow the program's exit. The loop also ends (or
    // never starts) when the application quits.
    loop_ = &loop;
    if (!finished) loop.exec();
    loop_ = nullptr;
    SetBusy(false);
    if (!finished) session_->Abort();
    return result;
}
