#include "HttpClient.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <chrono>

#include "CurlSession.h"
#include "HttpUrl.h"

namespace {

constexpr std::chrono::milliseconds kQuickReply{5};

// The busy cursor for as long as the caller waits.
class BusyCursor {
  public:
    BusyCursor() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            shown_ = false;
    }
    ~BusyCursor() {
        if (shown_) QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    bool shown_ = true;
};

}  // namespace

HttpClient::HttpClient(SessionMaker makeSession) : makeSession_(std::move(makeSession)) {
    if (!makeSession_) makeSession_ = [] { return std::make_unique<CurlSession>(); };
}

HttpClient::~HttpClient() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wanted_.notify_one();
    thread_.join();
}

std::optional<std::string> HttpClient::Get(const std::string& url) {
    TransferRequest request;
    request.url = url;
    return Perform(std::move(request));
}

std::optional<std::string> HttpClient::Post(const std::string& url, const std::string& contentType,
                                            const std::string& body) {
    TransferRequest request;
    request.url = url;
    request.post = true;
    request.body = body;
    request.contentType = contentType;
    return Perform(std::move(request));
}

void HttpClient::Cancel() {
    if (!busy_) return;
    abort_ = true;
    session_->Wake();
}

void HttpClient::Disconnect() {
    disconnected_ = true;
    Cancel();
}

bool HttpClient::Start() {
    if (thread_.joinable()) return true;
    try {
        if (!session_) session_ = makeSession_();
        if (!session_) return false;
        thread_ = std::thread([this] { TransferLoop(); });
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

std::optional<std::string> HttpClient::Perform(TransferRequest request) {
    if (busy_ || disconnected_) return std::nullopt;
    // A post's content type stays for every later request, GETs included.
    if (request.post) contentType_ = request.contentType;
    request.contentType = contentType_;
    if (!IsPlainHttpUrl(request.url)) return std::nullopt;
    request.readTimeoutMs = readTimeoutMs_;
    request.maxReplyBytes = maxReplyBytes_;

    // The transfer thread and libcurl start with the first request, not with the window.
    if (!Start()) return std::nullopt;
    abort_ = false;
    {
        std::lock_guard lock(mutex_);
        job_ = std::make_unique<TransferRequest>(std::move(request));
        done_ = false;
    }
    wanted_.notify_one();
    {
        // Busy from before the wait until after it, whatever a window does meanwhile.
        struct BusyScope {
            HttpClient& client;
            explicit BusyScope(HttpClient& c) : client(c) {
                client.busy_ = true;
                emit client.busyChanged(true);
            }
            ~BusyScope() {
                client.busy_ = false;
                emit client.busyChanged(false);
            }
        } busy(*this);
        WaitForReply();
    }
    std::lock_guard lock(mutex_);
    return std::move(result_);
}

bool HttpClient::Done() {
    std::lock_guard lock(mutex_);
    return done_;
}

void HttpClient::WaitForReply() {
    const BusyCursor cursor;
    {
        // A reply that comes within a few milliseconds is taken without the round trip
        // through the event loop; windows do not notice so short a pause.
        std::unique_lock lock(mutex_);
        if (finished_.wait_for(lock, kQuickReply, [this] { return done_; })) return;
    }
    // One loop for the whole wait, which only the transfer's end quits: starting an event
    // loop drops a quit that the application has already posted, so a loop started again
    // after a wake-up could swallow the program's exit.
    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
    // The loop also ends (or never starts) when the application quits; the request ends
    // with it.
    std::unique_lock lock(mutex_);
    if (!done_) {
        abort_ = true;
        session_->Wake();
        finished_.wait(lock, [this] { return done_; });
    }
}

void HttpClient::TransferLoop() {
    for (;;) {
        std::unique_ptr<TransferRequest> job;
        {
            std::unique_lock lock(mutex_);
            wanted_.wait(lock, [this] { return stopping_ || job_; });
            if (stopping_) return;
            job = std::move(job_);
        }
        std::optional<std::string> result;
        try {
            result = session_->Run(*job, abort_);
        } catch (const std::exception&) {
            result.reset();
        }
        {
            std::lock_guard lock(mutex_);
            result_ = std::move(result);
            done_ = true;
        }
        finished_.notify_one();
        // Ends the waiting loop. A word left over from an earlier request that was taken
        // without the loop finds its transfer not done and is ignored.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (loop_ && Done()) loop_->quit();
            },
            Qt::QueuedConnection);
    }
}
