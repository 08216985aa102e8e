#include "platform/TcpClient.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace platform {
namespace {

bool WaitFor(int fd, short events, std::chrono::milliseconds timeout) {
    pollfd watch{fd, events, 0};
    int ready;
    do {
        ready = ::poll(&watch, 1, static_cast<int>(timeout.count()));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

int ConnectTo(const addrinfo& address, std::chrono::milliseconds timeout) {
    const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address.ai_protocol);
    if (fd < 0) return -1;
    if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0) {
        int error = 0;
        socklen_t length = sizeof error;
        if (errno != EINPROGRESS || !WaitFor(fd, POLLOUT, timeout) ||
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            ::close(fd);
            return -1;
        }
    }
    return fd;
}

}  // namespace

TcpClient::~TcpClient() { Close(); }

bool TcpClient::Connect(const std::string& host, int port, std::chrono::milliseconds timeout) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) fd = ConnectTo(*a, timeout);
    ::freeaddrinfo(found);
    return fd >= 0;
}

bool TcpClient::SendAll(const std::string& data) {
    size_t sent = 0;
    while (fd >= 0 && sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            if (!WaitFor(fd, POLLOUT, std::chrono::seconds(10))) return false;
            continue;
        }
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return fd >= 0;
}

std::string TcpClient::ReadOnce(size_t maxBytes, std::chrono::milliseconds timeout) {
    if (fd < 0 || !WaitFor(fd, POLLIN, timeout)) return {};
    std::vector<char> buffer(maxBytes);
    ssize_t n;
    do {
        n = ::recv(fd, buffer.data(), buffer.size(), 0);
    } while (n < 0 && errno == EINTR);
    return n > 0 ? std::string(buffer.data(), static_cast<size_t>(n)) : std::string();
}

void TcpClient::Close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace platform
