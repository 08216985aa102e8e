#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/StartupCheck.h"
#include "version/SVOnlineVersion.h"

namespace {

using namespace std::chrono_literals;

// A real one-shot HTTP server on 127.0.0.1: it takes one connection, keeps the request,
// sends `answer` in one write (or nothing, after `silence`) and closes.
class OneShotServer {
public:
    explicit OneShotServer(std::string answer, std::chrono::milliseconds silence = 0ms) {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        ::listen(listener, 1);
        server = std::thread([this, answer, silence] {
            const int client = ::accept(listener, nullptr, nullptr);
            if (client < 0) return;
            char buffer[4096];
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n > 0) request.assign(buffer, static_cast<size_t>(n));
            if (silence > 0ms) {
                std::this_thread::sleep_for(silence);
            } else {
                (void)!::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
            }
            ::close(client);
        });
    }
    ~OneShotServer() {
        ::shutdown(listener, SHUT_RDWR);
        server.join();
        ::close(listener);
    }
    int port = 0;
    std::string request;

private:
    int listener = -1;
    std::thread server;
};

std::string Parts(const SVVersion& v) {
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.release) + "." + std::to_string(v.build);
}

TEST(SVOnlineVersion, AnswersOfTheServer) {
    const std::string header = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
    const struct {
        const char* name;
        std::string answer;
        std::string version;
    } cases[] = {
        {"four parts", header + "1.2.3.4", "1.2.3.4"},
        {"with a line end", header + "1.2.3.4\r\n", "1.2.3.4"},
        {"three parts", header + "1.2.3", "0.0.0.0"},
        {"a trailing dot", header + "1.2.3.", "0.0.0.0"},
        {"bare line feeds", "HTTP/1.0 200 OK\nServer: x\n\n2.5.0.17\n", "2.5.0.17"},
        {"a part above 65535", header + "1.70000.3.4", "1.4464.3.4"},
        {"no end of header", "HTTP/1.0 200 OK\r\nServer: x\r\n", "0.0.0.0"},
        {"a body beyond 4095 bytes", "HTTP/1.0 200 OK\r\nX-Pad: " + std::string(4100, 'p') + "\r\n\r\n9.9.9.9", "0.0.0.0"},
        {"an answer cut at 4095 bytes", header + "3.1.4." + std::string(5000, '1'), "3.1.4.65535"},
        {"not numbers", header + "a.b.c.d", "0.0.0.0"},
    };
    for (const auto& c : cases) {
        OneShotServer server(c.answer);
        const SVOnlineVersion version("127.0.0.1", SVOnlineVersion::kVersionPath, server.port, 2000ms);
        EXPECT_EQ(Parts(version), c.version) << c.name;
        EXPECT_EQ(server.request,
                  "GET /software/version/ravuvuziridezi.txt HTTP/1.0\r\nHost:127.0.0.1\r\nAccept: */*\r\nUser-Agent: Quorvel "
                  "online versioning\r\n\r\n")
            << c.name;
    }
}

TEST(SVOnlineVersion, SilentRefusedAndUnknownServersGiveNothingInBoundedTime) {
    {
        OneShotServer silent("", 1000ms);
        const auto started = std::chrono::steady_clock::now();
        const SVOnlineVersion version("127.0.0.1", SVOnlineVersion::kVersionPath, silent.port, 300ms);
        EXPECT_EQ(Parts(version), "0.0.0.0");
        EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    }
    int refusedPort;
    {
        OneShotServer closed("x");
        refusedPort = closed.port;
        const SVOnlineVersion taken("127.0.0.1", SVOnlineVersion::kVersionPath, closed.port, 300ms);  // the one connection
    }
    EXPECT_EQ(Parts(SVOnlineVersion("127.0.0.1", SVOnlineVersion::kVersionPath, refusedPort, 300ms)), "0.0.0.0");
    // The build's default host never resolves: a default build contacts nobody.
    EXPECT_EQ(std::string(SVOnlineVersion::kDefaultHost).substr(std::string(SVOnlineVersion::kDefaultHost).size() - 8), ".invalid");
}

TEST(StartupCheck, WhenToAskAndWhenToRemind) {
    VidorraSetting settings;
    settings.checkVersion = false;
    EXPECT_FALSE(ShouldCheckVersion(2008, settings));
    EXPECT_TRUE(ShouldCheckVersion(2009, settings));
    settings.checkVersion = true;
    settings.checkVersionRemind = true;
    EXPECT_TRUE(ShouldCheckVersion(2008, settings));
    settings.checkVersionRemind = false;
    EXPECT_FALSE(ShouldCheckVersion(2008, settings));

    const SVVersion own(1, 0, 0, 1);
    EXPECT_TRUE(ShouldRemind(own, SVVersion(1, 0, 0, 2)));
    EXPECT_FALSE(ShouldRemind(own, SVVersion(1, 0, 0, 1)));
    EXPECT_FALSE(ShouldRemind(own, SVVersion(0, 9, 9, 9)));
    EXPECT_FALSE(ShouldRemind(own, SVVersion(0, 0, 0, 0)));
}

}  // namespace
