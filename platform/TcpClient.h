#pragma once
#include <chrono>
#include <string>

namespace platform {

// A small blocking TCP client with bounded waits: the connect and each read end after
// their time-out instead of freezing the caller.
class TcpClient {
public:
    TcpClient() = default;
    ~TcpClient();
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    // Resolves host (IPv4 or IPv6) and connects to the first address that answers in time.
    bool Connect(const std::string& host, int port, std::chrono::milliseconds timeout);
    bool SendAll(const std::string& data);
    // One read of at most maxBytes; empty on end of stream, error or time-out.
    std::string ReadOnce(size_t maxBytes, std::chrono::milliseconds timeout);
    void Close();

private:
    int fd = -1;
};

}  // namespace platform
