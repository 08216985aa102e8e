#include "authoring/SVMkisofsSizeCommand.h"

#include <limits>

#include "platform/CommandLine.h"
#include "platform/NumberText.h"
#include "settings/PathHelpers.h"

namespace {

const std::string kSizePrefix = "Total extents scheduled to be written =";

// Only the first 1024 characters count; a count is never below 0, and one too large for
// the result stays at the largest one rather than wrapping.
int32_t LeadingNumber(const std::string& text) {
    return static_cast<int32_t>(
        platform::ClampInteger(platform::ExtractInteger(text.substr(0, 1024)), 0, std::numeric_limits<int32_t>::max()));
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
