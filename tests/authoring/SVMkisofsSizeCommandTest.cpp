#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "authoring/SVMkisofsSizeCommand.h"
#include "platform/TextCodec.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(ImageSize, ReadsTheLastSizeLine) {
    const struct {
        const char* name;
        std::vector<std::string> lines;
        int32_t extents;
    } cases[] = {
        {"one line", {"Total extents scheduled to be written = 2295104"}, 2295104},
        {"the second line wins", {"Total extents scheduled to be written = 10", "x", "Total extents scheduled to be written = 12"}, 12},
        {"leading blank is another line", {" Total extents scheduled to be written = 7"}, 0},
        {"no such line", {"genisoimage 1.1.11", "Using VIDEO000.IFO"}, 0},
        {"no number", {"Total extents scheduled to be written = many"}, 0},
        {"digits up to the first other character", {"Total extents scheduled to be written =   345abc"}, 345},
        {"no blank after the sign", {"Total extents scheduled to be written =99"}, 99},
        {"too large for 32 bits stays at the largest", {"Total extents scheduled to be written = 99999999999"}, 2147483647},
    };
    for (const auto& c : cases) EXPECT_EQ(SVMkisofsSizeCommand::ParseImageSize(c.lines), c.extents) << c.name;
}

TEST(ImageSize, CommandLineQuotesProgramAndFolder) {
    EXPECT_EQ(SVMkisofsSizeCommand::CommandLine(L"/opt/vid", L"/home/u/My Work"),
              L"\"/opt/vid/mkisofs\" -dvd-video -print-size \"/home/u/My Work\"");
    EXPECT_EQ(SVMkisofsSizeCommand::CommandLine(L"/opt/vid/", L"/w"), L"\"/opt/vid/mkisofs\" -dvd-video -print-size \"/w\"");
}

// A compiled folder is measured in the compile tests; here what gives no size.
TEST(ImageSize, NoSizeWithoutADvdFolderOrATool) {
    TempFolder temp;
    const std::string folder = temp / "Not a disc";
    std::filesystem::create_directories(folder + "/VIDEO_TS");
    std::ofstream(folder + "/VIDEO_TS/VIDEO_TS.VOB", std::ios::binary) << std::string(11 * 2048, 'x');
    EXPECT_EQ(SVMkisofsSizeCommand::GetImageSize(platform::Widen(BinFolder()), platform::Widen(folder)), 0);
    EXPECT_EQ(SVMkisofsSizeCommand::GetImageSize(L"/nonexistent", platform::Widen(folder)), 0);
}

}  // namespace
