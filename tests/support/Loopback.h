#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <exception>
#include <stdexcept>
#include <string_view>

// The plain socket calls of the test servers on 127.0.0.1.

// A socket listening on 127.0.0.1 at a port the system picks; `port` becomes that port.
// Throws when the system refuses.
inline int ListenOnLoopback(int& port) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) throw std::runtime_error("no socket to listen on");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 16) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(listener);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return listener;
}

// A connection to 127.0.0.1:`port`, or -1.
inline int ConnectToLoopback(int port) {
    const int connection = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connection < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(connection);
        return -1;
    }
    return connection;
}

// False when the peer went away.
inline bool SendAll(int connection, std::string_view bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// A pipe that a server's thread watches beside its sockets: once Raise is called, its read
// end stays readable, and the thread stops at its next wait.
class StopPipe {
  public:
    StopPipe() {
        if (pipe2(fds_, O_CLOEXEC) != 0) throw std::runtime_error("no pipe to stop a server");
    }
    ~StopPipe() {
        close(fds_[0]);
        close(fds_[1]);
    }
    StopPipe(const StopPipe&) = delete;
    StopPipe& operator=(const StopPipe&) = delete;

    void Raise() {
        const char stop = 's';
        if (write(fds_[1], &stop, 1) != 1) std::terminate();
    }
    int ReadEnd() const { return fds_[0]; }

  private:
    int fds_[2] = {-1, -1};
};
