#pragma once

#include <openssl/ssl.h>

#include <functional>
#include <string>
#include <thread>

#include "Loopback.h"
#include "TestCertificates.h"

// A TLS server on 127.0.0.1, at a port the system picks, that serves `certificate` and
// relays each connection, once its handshake is done, to the plain HTTP server at
// 127.0.0.1:`backendPort` (a ScriptedHttpServer, or PHP's web server) and its answer back.
// It runs on a thread of its own, as the test's thread waits inside a request, and takes
// one connection at a time. A client that refuses the handshake never reaches the backend.
// `newestVersion`, such as TLS1_1_VERSION, keeps the relay to older versions of TLS, the
// way an outdated server speaks.
class TlsRelay {
  public:
    TlsRelay(const CertificateFiles& certificate, int backendPort, int newestVersion = 0);
    ~TlsRelay();
    TlsRelay(const TlsRelay&) = delete;
    TlsRelay& operator=(const TlsRelay&) = delete;

    int Port() const { return port_; }
    // "https://127.0.0.1:<port>" followed by `path`.
    std::string Url(const std::string& path = "") const;

  private:
    void Serve();
    void Relay(int client);
    void Pump(SSL* tls, int client, int backend);
    void Close(SSL* tls, int client);
    // Repeats a TLS call on the client's socket until it gets through; false when it fails
    // or the relay stops.
    bool Complete(SSL* tls, int client, const std::function<int()>& call);
    // Waits for `events` on `socket`; false once the relay stops.
    bool Wait(int socket, short events);

    SSL_CTX* context_ = nullptr;
    int backendPort_;
    int listener_ = -1;
    int port_ = 0;
    StopPipe stop_;
    std::thread thread_;
};
