#include "settings/PathHelpers.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "platform/TextCodec.h"
#include "platform/UserFolders.h"

namespace fs = std::filesystem;

namespace {

size_t LastSeparator(const std::wstring& path) { return path.find_last_of(L"/\\"); }

fs::path ToFsPath(const std::wstring& path) { return fs::path(platform::Narrow(path)); }

}  // namespace

std::wstring AppDataFolder() { return platform::ConfigHomeFolder(); }

std::wstring DocumentsFolder() { return platform::DocumentsHomeFolder(); }

std::wstring FolderOf(const std::wstring& path) {
    const size_t at = LastSeparator(path);
    return at == std::wstring::npos ? std::wstring() : path.substr(0, at + 1);
}

std::wstring FileNameOf(const std::wstring& path) {
    const size_t at = LastSeparator(path);
    return at == std::wstring::npos ? path : path.substr(at + 1);
}

std::wstring BaseNameOf(const std::wstring& path) {
    const std::wstring name = FileNameOf(path);
    const size_t point = name.rfind(L'.');
    return point == std::wstring::npos ? name : name.substr(0, point);
}

std::wstring WithTrailingBackslash(const std::wstring& path) {
    if (path.empty() || path.back() == L'/') return path;
    return path + L'/';
}

std::wstring WithoutTrailingBackslash(const std::wstring& path) {
    if (!path.empty() && path.back() == L'/') return path.substr(0, path.size() - 1);
    return path;
}

void CreateFolders(const std::wstring& path) {
    if (path.empty()) return;
    const std::wstring parent = WithoutTrailingBackslash(FolderOf(WithoutTrailingBackslash(path)));
    if (!parent.empty()) CreateFolders(parent);
    // An existing folder or a failure simply continues; callers check what they need.
    ::mkdir(platform::Narrow(path).c_str(), 0777);
}

void DeleteFolder(const std::wstring& path) {
    if (!PathExists(path)) return;
    std::error_code ignored;
    fs::remove_all(ToFsPath(path), ignored);
}

bool PathExists(const std::wstring& path) {
    if (path.empty()) return false;
    struct stat info;
    return ::lstat(platform::Narrow(path).c_str(), &info) == 0;
}

uint64_t FolderSize(const std::wstring& path) {
    std::error_code error;
    fs::recursive_directory_iterator it(ToFsPath(path), fs::directory_options::skip_permission_denied, error);
    if (error) return 0;
    uint64_t total = 0;
    for (const fs::recursive_directory_iterator end; it != end; it.increment(error)) {
        if (error) break;
        std::error_code statError;
        const fs::file_status status = it->symlink_status(statError);
        if (statError || !fs::is_regular_file(status)) continue;
        const uintmax_t size = it->file_size(statError);
        if (!statError) total += size;
    }
    return total;
}
