#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/TextCodec.h"
#include "process/SVLog.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace {

int RunLogWriter(const std::string& args) {
    return std::system((BinFolder() + "/log_writer " + args).c_str());
}

TEST(SVLog, AppendsAcrossRunsAndCreatesTheFolderChain) {
    const std::string logPath = std::string(getenv("HOME")) + "/.config/Quorvel/log_writer/log_writer.log";
    ASSERT_FALSE(std::filesystem::exists(std::string(getenv("HOME")) + "/.config/Quorvel"));
    ASSERT_EQ(RunLogWriter("'first run' ''"), 0);
    EXPECT_EQ(ReadFileBytes(logPath), "first run\n\n");
    ASSERT_EQ(RunLogWriter("'[Enc] second run' 'Vid\xC3\xA9os'"), 0);
    EXPECT_EQ(ReadFileBytes(logPath), "first run\n\n[Enc] second run\nVid\xC3\xA9os\n");
}

TEST(SVLog, DefaultPathNamesTheExecutable) {
    EXPECT_EQ(SVLog::DefaultPath(),
              platform::Widen(std::string(getenv("HOME")) + "/.config/Quorvel/process_tests/process_tests.log"));
}

TEST(SVLog, EachEntryIsOnDiskWhenWriteReturns) {
    TempFolder temp;
    SVLog log(platform::Widen(temp / "a/b/x.log"));
    log.Write(L"price \u20AC");
    EXPECT_EQ(ReadFileBytes(temp / "a/b/x.log"), "price \xE2\x82\xAC\n");
    log.Write(L"");
    EXPECT_EQ(ReadFileBytes(temp / "a/b/x.log"), "price \xE2\x82\xAC\n\n");
}

TEST(SVLog, UnopenableLogIsSilentlyInert) {
    TempFolder temp;
    WriteFileBytes(temp / "blocker", "x");
    SVLog log(platform::Widen(temp / "blocker/sub/x.log"));
    log.Write(L"nothing");
    EXPECT_EQ(ReadFileBytes(temp / "blocker"), "x");
}

}  // namespace
