#include "platform/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/TextCodec.h"

namespace platform {
namespace {

std::string EnvValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string StripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string HomeBytes() {
    std::string home = EnvValue("HOME");
    if (home.empty()) {
        if (const passwd* entry = getpwuid(getuid())) home = entry->pw_dir ? entry->pw_dir : "";
    }
    return StripTrailingSlashes(home);
}

std::string ConfigHomeBytes() {
    const std::string configured = EnvValue("XDG_CONFIG_HOME");
    // Relative values are invalid by the XDG rules and are ignored.
    if (!configured.empty() && configured[0] == '/') return StripTrailingSlashes(configured);
    const std::string home = HomeBytes();
    return home.empty() ? std::string() : home + "/.config";
}

// Reads XDG_DOCUMENTS_DIR="$HOME/..." or an absolute quoted path from user-dirs.dirs.
std::string DocumentsFromUserDirs(const std::string& home) {
    const std::string config = ConfigHomeBytes();
    if (config.empty()) return {};
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(file, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        if (value.size() < 2 || value.front() != '"') continue;
        const size_t close = value.find('"', 1);
        if (close == std::string::npos) continue;
        value = value.substr(1, close - 1);
        if (value.rfind("$HOME", 0) == 0) {
            value = home + value.substr(5);
        } else if (value.empty() || value[0] != '/') {
            continue;
        }
        value = StripTrailingSlashes(value);
        // A documents entry equal to the home folder means "disabled".
        if (value == home) continue;
        return value;
    }
    return {};
}

}  // namespace

std::wstring HomeFolder() { return Widen(HomeBytes()); }

std::wstring ConfigHomeFolder() { return Widen(ConfigHomeBytes()); }

std::wstring DocumentsHomeFolder() {
    const std::string home = HomeBytes();
    const std::string fromUserDirs = DocumentsFromUserDirs(home);
    if (!fromUserDirs.empty()) return Widen(fromUserDirs);
    return home.empty() ? std::wstring() : Widen(home + "/Documents");
}

}  // namespace platform
