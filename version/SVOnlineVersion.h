#pragma once
#include <chrono>
#include <string>

#include "version/SVVersion.h"

// The newest version as the maker's web server announces it: one HTTP/1.0 request for a
// small text file of four dotted numbers. 0.0.0.0 whenever anything fails.
class SVOnlineVersion : public SVVersion {
public:
    SVOnlineVersion(std::string host, std::string path);
    // For a server on another port (tests run one on 127.0.0.1).
    SVOnlineVersion(std::string host, std::string path, int port, std::chrono::milliseconds timeout);

    void Load() override;

    // The request, exactly: note that "Host:" has no blank after it.
    static std::string Request(const std::string& host, const std::string& path);
    // The bytes after the blank line that ends the header, or false when there is none.
    static bool BodyOf(const std::string& response, std::string& body);
    // Four numbers separated by "."; false (and all parts 0) otherwise.
    bool ParseBody(const std::string& body);

    std::string host;
    std::string path;
    int port = 80;
    std::chrono::milliseconds timeout{5000};

    static constexpr size_t kReadLimit = 4095;
    static constexpr const char* kVersionPath = "/software/version/ravuvuziridezi.txt";
    // The build's version server; by default a reserved name that never resolves.
    static const char* const kDefaultHost;
};
