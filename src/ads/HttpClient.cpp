#include "HttpClient.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <chrono>

#include "CurlSession.h"
#include "HttpUrl.h"

namespace {

// The waiting thread looks at the transfer at least this often even if no word arrives.
constexpr int kWakeMs = 250;
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

HttpClient::HttpClient() : waker_(std::make_unique<QObject>()) {}

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

void HttpClient::Disconnect() {
    abort_ = true;
    if (session_) session_->Wake();
}

std::optional<std::string> HttpClient::Perform(TransferRequest request) {
    if (busy_) return std::nullopt;
    // A post's content type stays for every later request, GETs included.
    if (request.post) contentType_ = request.contentType;
    request.contentType = contentType_;
    if (!IsPlainHttpUrl(request.url)) return std::nullopt;
    request.readTimeoutMs = readTimeoutMs_;
    request.maxReplyBytes = maxReplyBytes_;

    // The transfer thread and libcurl start with the first request, not with the window.
    if (!thread_.joinable()) {
        session_ = std::make_unique<CurlSession>();
        thread_ = std::thread([this] { TransferLoop(); });
    }
    busy_ = true;
    abort_ = false;
    {
        std::lock_guard lock(mutex_);
        job_ = std::make_unique<TransferRequest>(std::move(request));
        done_ = false;
    }
    wanted_.notify_one();
    WaitForReply();
    busy_ = false;
    std::lock_guard lock(mutex_);
    return std::move(result_);
}

void HttpClient::WaitForReply() {
    const BusyCursor cursor;
    {
        // A reply that comes within a few milliseconds is taken without the round trip
        // through the event loop; windows do not notice so short a pause.
        std::unique_lock lock(mutex_);
        if (finished_.wait_for(lock, kQuickReply, [this] { return done_; })) return;
    }
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, &QEventLoop::quit);
    tick.start(kWakeMs);
    loop_ = &loop;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (done_) break;
        }
        loop.exec();
    }
    loop_ = nullptr;
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
        // Wakes the waiting loop at once instead of at its next tick.
        QMetaObject::invokeMethod(
            waker_.get(),
            [this] {
                if (loop_) loop_->quit();
            },
            Qt::QueuedConnection);
    }
}
