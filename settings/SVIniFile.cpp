#include "settings/SVIniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "platform/TextCodec.h"
#include "settings/PathHelpers.h"

namespace {

std::u16string ToUtf16(const std::wstring& text) {
    std::u16string units;
    for (wchar_t w : text) {
        const char32_t c = static_cast<char32_t>(w);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    return units;
}

std::string Serialise(const SVIniFile& ini) {
    std::string out;
    for (const auto& [name, section] : ini.sections) {
        out += "[" + platform::Narrow(name) + "]\n";
        for (const auto& [key, value] : section.values) {
            out += platform::Narrow(key) + "=" + platform::Narrow(value) + "\n";
        }
        out += "\n";
    }
    return out;
}

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool SVIniNameLess::operator()(const std::wstring& a, const std::wstring& b) const {
    // Code points below U+10000 compare the same as their code units; only the rest differ.
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i]) return ToUtf16(a.substr(i)) < ToUtf16(b.substr(i));
    }
    return a.size() < b.size();
}

bool SVIniFile::Load(const std::wstring& path) {
    sections.clear();
    std::ifstream file(platform::Narrow(path), std::ios::binary);
    if (!file.is_open()) return false;

    std::wstring current;
    SVIniFileValue pending;
    std::string raw;
    // getline reads a line of any length whole, so a long line never spills into the next.
    while (std::getline(file, raw)) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::wstring line = platform::Widen(raw);
        if (!line.empty() && line[0] == L'[') {
            if (!pending.values.empty()) sections[current] = pending;
            pending.values.clear();
            current = line.size() >= 2 ? line.substr(1, line.size() - 2) : std::wstring();
            continue;
        }
        const size_t equals = line.find(L'=');
        if (equals == std::wstring::npos) continue;
        pending.values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    if (!pending.values.empty()) sections[current] = pending;
    return true;
}

bool SVIniFile::Save(const std::wstring& path) const {
    CreateFolders(WithoutTrailingBackslash(FolderOf(path)));
    const std::string target = platform::Narrow(path);
    std::vector<char> temp(target.begin(), target.end());
    const std::string suffix = ".tmp-XXXXXX";
    temp.insert(temp.end(), suffix.begin(), suffix.end());
    temp.push_back('\0');

    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    ::fchmod(fd, 0644);
    const bool written = WriteAll(fd, Serialise(*this)) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temp.data(), target.c_str()) != 0) {
        ::unlink(temp.data());
        return false;
    }
    return true;
}
