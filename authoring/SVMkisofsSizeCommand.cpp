#include "authoring/SVMkisofsSizeCommand.h"

#include <limits>

#include "platform/CommandLine.h"
#include "settings/PathHelpers.h"

namespace {

const std::string kSizePrefix = "Total extents scheduled to be written =";

// Leading blanks skipped, then the digits up to the first other character; 0 without
// digits. Only the first 1024 characters count, and a number too large for the result
// stays at the largest one rather than wrapping.
int32_t LeadingNumber(const std::string& text) {
    const std::string window = text.substr(0, 1024);
    size_t i = window.find_first_not_of(" \t");
    if (i == std::string::npos) return 0;
    int64_t value = 0;
    for (; i < window.size() && window[i] >= '0' && window[i] <= '9'; ++i) {
        value = value * 10 + (window[i] - '0');
        if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(value);
}

}  // namespace

std::wstring SVMkisofsSizeCommand::CommandLine(const std::wstring& toolFolder, const std::wstring& dvdFolder) {
    return platform::QuoteArgument(WithTrailingBackslash(toolFolder) + L"mkisofs") + L" -dvd-video -print-size " +
           platform::QuoteArgument(dvdFolder);
}

int32_t SVMkisofsSizeCommand::ParseImageSize(const std::vector<std::string>& lines) {
    int32_t extents = 0;
    for (const std::string& line : lines) {
        if (line.compare(0, kSizePrefix.size(), kSizePrefix) == 0) extents = LeadingNumber(line.substr(kSizePrefix.size()));
    }
    return extents;
}

int32_t SVMkisofsSizeCommand::GetImageSize(const std::wstring& dvdFolder) {
    commandLine = CommandLine(toolFolder, dvdFolder);
    return ParseImageSize(Run());
}

int32_t SVMkisofsSizeCommand::GetImageSize(const std::wstring& toolFolder, const std::wstring& dvdFolder) {
    SVMkisofsSizeCommand command(toolFolder);
    return command.GetImageSize(dvdFolder);
}
