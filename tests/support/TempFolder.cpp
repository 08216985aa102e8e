#include "tests/support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "platform/ExecutablePath.h"
#include "platform/TextCodec.h"

TempFolder::TempFolder() {
    const char* home = std::getenv("HOME");
    std::string pattern = std::string(home ? home : "/tmp") + "/tmp-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buffer.data();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::wstring TempFolder::wpath() const { return platform::Widen(path_); }

std::string BinFolder() { return platform::Narrow(platform::ExecutableFolder()); }
