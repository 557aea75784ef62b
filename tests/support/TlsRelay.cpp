#include "TlsRelay.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <stdexcept>

#include "Loopback.h"

TlsRelay::TlsRelay(const CertificateFiles& certificate, int backendPort, int newestVersion)
    : backendPort_(backendPort) {
    context_ = SSL_CTX_new(TLS_server_method());
    // OpenSSL's own security level refuses the versions before TLS 1.2 even to a server
    // that asks for them.
    if (context_ && newestVersion != 0) SSL_CTX_set_security_level(context_, 0);
    if (!context_ || SSL_CTX_set_max_proto_version(context_, newestVersion) != 1 ||
        SSL_CTX_use_certificate_chain_file(context_, certificate.certificate.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(context_, certificate.key.c_str(), SSL_FILETYPE_PEM) != 1) {
        SSL_CTX_free(context_);
        throw std::runtime_error("TLS relay: cannot serve " + certificate.certificate);
    }
    listener_ = ListenOnLoopback(port_);
    thread_ = std::thread([this] { Serve(); });
}

TlsRelay::~TlsRelay() {
    stop_.Raise();
    thread_.join();
    close(listener_);
    SSL_CTX_free(context_);
}

std::string TlsRelay::Url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + path;
}

bool TlsRelay::Wait(int socket, short events) {
    pollfd fds[2] = {{stop_.ReadEnd(), POLLIN, 0}, {socket, events, 0}};
    while (poll(fds, 2, -1) < 0) {
        if (errno != EINTR) return false;
    }
    return (fds[0].revents & POLLIN) == 0;
}

void TlsRelay::Serve() {
    // OpenSSL writes to a socket the client may have closed: the write must fail, not raise
    // SIGPIPE, which ends the test program. The signal is raised in the writing thread, so
    // blocking it here blocks it for the relay alone.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    while (Wait(listener_, POLLIN)) {
        // Non-blocking, so that a client that stops in the middle of a TLS record never
        // keeps the relay from stopping.
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0) continue;
        Relay(client);
        close(client);
    }
}

bool TlsRelay::Complete(SSL* tls, int client, const std::function<int()>& call) {
    for (;;) {
        const int result = call();
        if (result > 0) return true;
        const int error = SSL_get_error(tls, result);
        if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) return false;
        if (!Wait(client, error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT)) return false;
    }
}

void TlsRelay::Relay(int client) {
    const std::unique_ptr<SSL, decltype(&SSL_free)> tls(SSL_new(context_), &SSL_free);
    if (!tls || SSL_set_fd(tls.get(), client) != 1) return;
    if (!Complete(tls.get(), client, [&] { return SSL_accept(tls.get()); })) return;
    const int backend = ConnectToLoopback(backendPort_);
    if (backend < 0) return;
    Pump(tls.get(), client, backend);
    close(backend);
}

// Moves bytes both ways until either side closes. The backend closing ends the reply, so
// the client is then told the connection ends with it.
void TlsRelay::Pump(SSL* tls, int client, int backend) {
    char buffer[16384];
    for (;;) {
        pollfd fds[3] = {{stop_.ReadEnd(), POLLIN, 0}, {client, POLLIN, 0}, {backend, POLLIN, 0}};
        // Bytes OpenSSL already holds show on no socket.
        if (SSL_pending(tls) > 0) {
            fds[1].revents = POLLIN;
        } else {
            while (poll(fds, 3, -1) < 0) {
                if (errno != EINTR) return;
            }
            if (fds[0].revents & POLLIN) return;
        }
        if (fds[1].revents) {
            const int n = SSL_read(tls, buffer, sizeof buffer);
            if (n > 0) {
                if (!SendAll(backend, std::string_view(buffer, static_cast<size_t>(n)))) return;
            } else {
                const int error = SSL_get_error(tls, n);
                if (error == SSL_ERROR_WANT_WRITE && !Wait(client, POLLOUT)) return;
                if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) return;
            }
        }
        if (fds[2].revents) {
            const ssize_t n = recv(backend, buffer, sizeof buffer, 0);
            if (n <= 0) {
                Close(tls, client);
                return;
            }
            const auto size = static_cast<int>(n);
            if (!Complete(tls, client, [&] { return SSL_write(tls, buffer, size); })) return;
        }
    }
}

// Ends the connection as a web server does: close_notify and the end of its stream, then
// waiting for the client to close its end, since closing a socket that still has bytes to
// read resets the connection, which can drop the reply's last bytes on their way.
void TlsRelay::Close(SSL* tls, int client) {
    SSL_shutdown(tls);
    shutdown(client, SHUT_WR);
    char buffer[4096];
    while (Wait(client, POLLIN)) {
        const ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return;
    }
}
