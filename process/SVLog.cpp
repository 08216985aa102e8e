#include "process/SVLog.h"

#include "platform/ExecutablePath.h"
#include "platform/TextCodec.h"
#include "settings/PathHelpers.h"

std::wstring SVLog::DefaultPath() {
    const std::wstring base = BaseNameOf(platform::ExecutablePath());
    const std::wstring folder = WithTrailingBackslash(AppDataFolder()) + L"Quorvel/" + base + L"/";
    return folder + base + L".log";
}

SVLog::SVLog() : SVLog(DefaultPath()) {}

SVLog::SVLog(const std::wstring& logPath) : path(logPath) {
    const std::wstring folder = WithoutTrailingBackslash(FolderOf(path));
    if (!folder.empty() && !PathExists(folder)) CreateFolders(folder);
    // A log that cannot be opened stays failed: the program works on without one.
    stream = std::make_unique<std::ofstream>(platform::Narrow(path), std::ios::app | std::ios::binary);
}

SVLog::~SVLog() {
    if (stream) stream->flush();
}

void SVLog::Write(const std::wstring& text) {
    if (!stream || !*stream) return;
    *stream << platform::Narrow(text) << '\n';
    stream->flush();
}
