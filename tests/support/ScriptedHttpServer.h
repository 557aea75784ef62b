#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Loopback.h"

// An HTTP server on 127.0.0.1 that runs on a thread of its own, so it answers while the
// test's thread waits inside a request. It takes one connection at a time, records each
// request as received and answers it with the next scripted reply.
class ScriptedHttpServer {
  public:
    struct Reply {
        int status = 200;
        std::string reason = "OK";
        std::vector<std::string> headers;  // extra lines, e.g. "Set-Cookie: a=1"
        std::string body;
        int delayMs = 0;         // silence before the first byte
        int byteIntervalMs = 0;  // when set, the reply goes out a byte at a time, this far apart
        // Only this many bytes of the formatted reply are sent...
        size_t sendAtMost = std::string::npos;
        // ...and then the connection is closed, or held open without a byte more until the
        // client gives up.
        bool holdOpen = false;
        // Sent without Content-Length: the closing connection ends the body.
        bool unknownLength = false;
    };

    struct Request {
        std::string head;  // request line and headers as received, up to the blank line
        std::string requestLine;
        std::vector<std::string> headers;
        std::string body;
        // The value of the first header named `name` (any letter case), or "" when absent.
        std::string Header(const std::string& name) const;
        bool HasHeader(const std::string& name) const { return Find(name) != nullptr; }

      private:
        const std::string* Find(const std::string& name) const;
    };

    ScriptedHttpServer();
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    int Port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by `path`.
    std::string Url(const std::string& path = "") const;

    // Replies are used in the order pushed; once they run out, the default answers.
    void Push(Reply reply);
    void PushBody(const std::string& body);
    // Starts as a 500 reply, so an unscripted request shows.
    void SetDefault(Reply reply);

    std::vector<Request> Requests() const;
    size_t RequestCount() const;

    // A redirect to `location`.
    static Reply Redirect(const std::string& location, int status = 302);

  private:
    void Serve();
    void Answer(int connection);
    bool ReadRequest(int connection, Request& request);
    Reply NextReply();
    // Waits up to `ms` milliseconds (forever when negative) for the stop signal or, when
    // `connection` is not -1, for the client to send or close. False once stopping.
    bool Wait(int connection, int ms);

    int listener_ = -1;
    int port_ = 0;
    StopPipe stop_;
    mutable std::mutex mutex_;
    std::deque<Reply> replies_;
    Reply default_;
    std::vector<Request> requests_;
    std::thread thread_;
};
