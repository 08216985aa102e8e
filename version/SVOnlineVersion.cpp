#include "version/SVOnlineVersion.h"

#include <cstdint>

#include "platform/NumberText.h"
#include "platform/TcpClient.h"

#ifndef VIDORRA_VERSION_HOST
#define VIDORRA_VERSION_HOST "version.vidorra.invalid"
#endif

const char* const SVOnlineVersion::kDefaultHost = VIDORRA_VERSION_HOST;

namespace {

// A part reads as a stream extraction of an int does (the range's end when too large) and
// is kept in 16 bits (modulo 65536).
uint16_t Part(const std::string& text) {
    const int64_t value = platform::ClampInteger(platform::ExtractInteger(text), INT32_MIN, INT32_MAX);
    return static_cast<uint16_t>(static_cast<uint32_t>(static_cast<int32_t>(value)) & 0xFFFFu);
}

}  // namespace

SVOnlineVersion::SVOnlineVersion(std::string host, std::string path)
    : SVOnlineVersion(std::move(host), std::move(path), 80, std::chrono::milliseconds(5000)) {}

SVOnlineVersion::SVOnlineVersion(std::string host, std::string path, int port, std::chrono::milliseconds timeout)
    : host(std::move(host)), path(std::move(path)), port(port), timeout(timeout) {
    SVOnlineVersion::Load();
}

std::string SVOnlineVersion::Request(const std::string& host, const std::string& path) {
    return "GET " + path + " HTTP/1.0\r\nHost:" + host + "\r\nAccept: */*\r\nUser-Agent: Quorvel online versioning\r\n\r\n";
}

bool SVOnlineVersion::BodyOf(const std::string& response, std::string& body) {
    int lineFeeds = 0;
    for (size_t p = 0; p < response.size(); ++p) {
        if (response[p] == '\n') {
            if (++lineFeeds == 2) {
                body = response.substr(p + 1);
                return true;
            }
        } else if (response[p] != '\r') {
            lineFeeds = 0;
        }
    }
    return false;
}

bool SVOnlineVersion::ParseBody(const std::string& body) {
    uint16_t* parts[3] = {&major, &minor, &release};
    std::string rest = body;
    for (uint16_t* part : parts) {
        const size_t dot = rest.find('.');
        if (dot == std::string::npos) {
            major = minor = release = build = 0;
            return false;
        }
        *part = Part(rest.substr(0, dot));
        rest = rest.substr(dot + 1);
    }
    if (rest.empty()) {
        major = minor = release = build = 0;
        return false;
    }
    build = Part(rest);
    return true;
}

void SVOnlineVersion::Load() {
    major = minor = release = build = 0;
    platform::TcpClient client;
    if (!client.Connect(host, port, timeout)) return;
    if (!client.SendAll(Request(host, path))) return;
    const std::string response = client.ReadOnce(kReadLimit, timeout);
    std::string body;
    if (response.empty() || !BodyOf(response, body)) return;
    ParseBody(body);
}
