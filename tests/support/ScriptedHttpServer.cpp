#include "ScriptedHttpServer.h"

#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <string_view>

namespace {

std::string Format(const ScriptedHttpServer::Reply& reply) {
    std::string text = "HTTP/1.1 " + std::to_string(reply.status) + " " + reply.reason + "\r\n";
    if (!reply.unknownLength)
        text += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    text += "Connection: close\r\n";
    for (const std::string& header : reply.headers) text += header + "\r\n";
    text += "\r\n";
    text += reply.body;
    return text;
}

}  // namespace

const std::string* ScriptedHttpServer::Request::Find(const std::string& name) const {
    for (const std::string& line : headers) {
        if (line.size() > name.size() && line[name.size()] == ':' &&
            strncasecmp(line.c_str(), name.c_str(), name.size()) == 0)
            return &line;
    }
    return nullptr;
}

std::string ScriptedHttpServer::Request::Header(const std::string& name) const {
    const std::string* line = Find(name);
    if (!line) return {};
    const size_t value = line->find_first_not_of(' ', name.size() + 1);
    return value == std::string::npos ? std::string() : line->substr(value);
}

ScriptedHttpServer::ScriptedHttpServer() {
    default_.status = 500;
    default_.reason = "Internal Server Error";
    default_.body = "no scripted reply";
    listener_ = ListenOnLoopback(port_);
    thread_ = std::thread([this] { Serve(); });
}

ScriptedHttpServer::~ScriptedHttpServer() {
    stop_.Raise();
    thread_.join();
    close(listener_);
}

std::string ScriptedHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void ScriptedHttpServer::Push(Reply reply) {
    std::lock_guard lock(mutex_);
    replies_.push_back(std::move(reply));
}

void ScriptedHttpServer::PushBody(const std::string& body) {
    Reply reply;
    reply.body = body;
    Push(std::move(reply));
}

void ScriptedHttpServer::SetDefault(Reply reply) {
    std::lock_guard lock(mutex_);
    default_ = std::move(reply);
}

std::vector<ScriptedHttpServer::Request> ScriptedHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

size_t ScriptedHttpServer::RequestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

ScriptedHttpServer::Reply ScriptedHttpServer::Redirect(const std::string& location, int status) {
    Reply reply;
    reply.status = status;
    reply.reason = "Found";
    reply.headers = {"Location: " + location};
    return reply;
}

ScriptedHttpServer::Reply ScriptedHttpServer::NextReply() {
    std::lock_guard lock(mutex_);
    if (replies_.empty()) return default_;
    Reply reply = std::move(replies_.front());
    replies_.pop_front();
    return reply;
}

bool ScriptedHttpServer::Wait(int connection, int ms) {
    pollfd fds[2] = {{stop_.ReadEnd(), POLLIN, 0}, {connection, POLLIN, 0}};
    const nfds_t count = connection >= 0 ? 2 : 1;
    while (poll(fds, count, ms) < 0) {
        if (errno != EINTR) return false;
    }
    return (fds[0].revents & POLLIN) == 0;
}

void ScriptedHttpServer::Serve() {
    while (Wait(listener_, -1)) {
        const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        Answer(connection);
        close(connection);
    }
}

bool ScriptedHttpServer::ReadRequest(int connection, Request& request) {
    std::string received;
    size_t headEnd = std::string::npos;
    size_t wanted = std::string::npos;
    char buffer[65536];
    while (wanted == std::string::npos || received.size() < wanted) {
        if (!Wait(connection, -1)) return false;
        const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        received.append(buffer, static_cast<size_t>(n));
        if (headEnd != std::string::npos) continue;
        headEnd = received.find("\r\n\r\n");
        if (headEnd == std::string::npos) continue;
        request.head = received.substr(0, headEnd + 2);
        for (size_t at = 0; at < request.head.size();) {
            const size_t end = request.head.find("\r\n", at);
            std::string line = request.head.substr(at, end - at);
            if (at == 0)
                request.requestLine = std::move(line);
            else
                request.headers.push_back(std::move(line));
            at = end + 2;
        }
        const std::string length = request.Header("Content-Length");
        wanted = headEnd + 4 + (length.empty() ? 0 : std::stoul(length));
    }
    request.body = received.substr(headEnd + 4);
    return true;
}

void ScriptedHttpServer::Answer(int connection) {
    Request request;
    if (!ReadRequest(connection, request)) return;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(std::move(request));
    }
    const Reply reply = NextReply();
    if (reply.delayMs > 0 && !Wait(-1, reply.delayMs)) return;
    const std::string bytes = Format(reply).substr(0, reply.sendAtMost);
    if (reply.byteIntervalMs == 0) {
        SendAll(connection, bytes);
    } else {
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (!SendAll(connection, std::string_view(bytes).substr(i, 1))) return;
            if (!Wait(-1, reply.byteIntervalMs)) return;
        }
    }
    if (reply.holdOpen) Wait(connection, -1);
}
