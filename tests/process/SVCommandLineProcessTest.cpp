#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "process/LineSplitter.h"
#include "process/SVCommandLineProcess.h"
#include "tests/process/ProcessTestSupport.h"

namespace {

using Lines = std::vector<std::string>;

Lines SplitInPieces(const std::vector<std::string>& pieces, size_t maxLength = 4096) {
    Lines lines;
    LineSplitter splitter(maxLength);
    for (const auto& piece : pieces) {
        splitter.Feed(piece.data(), piece.size(), [&](const std::string& line) { lines.push_back(line); });
    }
    return lines;
}

TEST(LineSplitter, AnyRunOfCrAndLfEndsOneLine) {
    const struct {
        const char* name;
        std::vector<std::string> pieces;
        Lines lines;
    } cases[] = {
        {"CR LF and LF", {"a\r\nb\n"}, {"a", "b"}},
        {"split between CR and LF", {"a\r", "\nb\n"}, {"a", "b"}},
        {"lone CR progress", {"frame=1 time=1.00\r", "frame=2 time=2.00\r"}, {"frame=1 time=1.00", "frame=2 time=2.00"}},
        {"blank lines and leading terminators", {"\r\n\n\nx\n\n\r\ny\r"}, {"x", "y"}},
        {"unterminated tail not delivered", {"done\npartial"}, {"done"}},
        {"line split over many reads", {"ab", "cd", "ef\n"}, {"abcdef"}},
        {"NUL cuts the line", {std::string("ab\0cd\nef\n", 9)}, {"ab", "ef"}},
        {"only NUL gives nothing", {std::string("\0\0\n", 3)}, {}},
        {"no output", {}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitInPieces(c.pieces), c.lines) << c.name;
}

TEST(LineSplitter, LongLinesAreCutAtTheLimit) {
    const std::string longLine(10000, 'x');
    const Lines lines = SplitInPieces({longLine + "\nnext\n"});
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], std::string(4096, 'x'));
    EXPECT_EQ(lines[1], std::string(4096, 'x'));
    EXPECT_EQ(lines[2], std::string(10000 - 8192, 'x'));
    EXPECT_EQ(lines[3], "next");
    EXPECT_EQ(SplitInPieces({std::string(4096, 'y') + "\nz\n"}), (Lines{std::string(4096, 'y'), "z"}));
}

TEST(SVCommandLineProcess, SplitLinesReportsTheTail) {
    SVCommandLineProcess runner;
    Lines lines;
    EXPECT_EQ(runner.SplitLines("a\r\nbc", 5, lines), 2u);
    EXPECT_EQ(lines, Lines{"a"});
    EXPECT_EQ(runner.SplitLines("a\n\r", 3, lines), 0u);
}

class RunnerTest : public testing::Test {
protected:
    void SetUp() override { CallbackRecord::Get().Reset(); }
    SVCommandLineProcess Runner() {
        SVCommandLineProcess runner;
        runner.onLine = CallbackRecord::OnLine;
        runner.onFinished = CallbackRecord::OnFinished;
        return runner;
    }
    CallbackRecord& record = CallbackRecord::Get();
};

TEST_F(RunnerTest, DeliversEveryLineWithPrefixAndReturnsThemBare) {
    SVCommandLineProcess runner = Runner();
    runner.linePrefix = L"[mkfs] ";
    runner.commandLine = Helper() + Step("out:abc\\r") + Step("sleep:30") + Step("out:\\ndef\\n") + Step("err:on stderr\\n") +
                         Step("out:Vid\\xC3\\xA9o\\n") + Step("out:tail without end");
    const Lines lines = runner.Run();
    EXPECT_EQ(lines, (Lines{"abc", "def", "on stderr", "Vid\xC3\xA9o"}));
    EXPECT_EQ(record.lines, (std::vector<std::wstring>{L"[mkfs] abc", L"[mkfs] def", L"[mkfs] on stderr", L"[mkfs] Vid\u00E9o"}));
    EXPECT_EQ(record.finished, (std::vector<std::pair<int32_t, std::wstring>>{{1, L""}}));
    EXPECT_TRUE(runner.lastExit.Succeeded());
}

TEST_F(RunnerTest, SilentToolAndExitCode) {
    SVCommandLineProcess runner = Runner();
    runner.commandLine = Helper() + Step("exit:3");
    EXPECT_TRUE(runner.Run().empty());
    EXPECT_TRUE(record.lines.empty());
    EXPECT_EQ(record.finished, (std::vector<std::pair<int32_t, std::wstring>>{{1, L""}}));
    EXPECT_EQ(runner.lastExit.code, 3);
}

TEST_F(RunnerTest, MissingToolFinishesWithZero) {
    TempFolder temp;
    SVCommandLineProcess runner = Runner();
    runner.commandLine = platform::QuoteArgument(temp.wpath() + L"/no-such-tool.exe") + L" -x";
    EXPECT_TRUE(runner.Run().empty());
    EXPECT_EQ(record.finished, (std::vector<std::pair<int32_t, std::wstring>>{{0, L""}}));
    EXPECT_FALSE(runner.lastExit.started);
}

TEST_F(RunnerTest, LongOutputLinesAreReadToTheEnd) {
    SVCommandLineProcess runner = Runner();
    runner.commandLine = Helper() + Step("out:" + std::string(9000, 'q') + "\\nafter\\n");
    const Lines lines = runner.Run();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].size() + lines[1].size() + lines[2].size(), 9000u);
    EXPECT_EQ(lines[3], "after");
}

TEST_F(RunnerTest, QuotedArgumentWithQuoteArrivesWhole) {
    SVCommandLineProcess runner;
    runner.commandLine = Helper() + L" args " + platform::QuoteArgument(L"/v/my \"best\" film.avi");
    EXPECT_EQ(runner.Run(), (Lines{"arg=args", "arg=/v/my \"best\" film.avi"}));
}

TEST_F(RunnerTest, ChildStartsInTheCallersFolder) {
    SVCommandLineProcess runner;
    runner.commandLine = Helper() + L" cwd";
    char buffer[4096];
    EXPECT_EQ(runner.Run(), Lines{getcwd(buffer, sizeof buffer)});
}

TEST_F(RunnerTest, RunAsyncReturnsSoonAfterTheStart) {
    SVCommandLineProcess runner = Runner();
    const auto start = std::chrono::steady_clock::now();
    runner.RunAsync(Helper() + Step("out:first\\n") + Step("sleep:600") + Step("out:second\\n"));
    const auto returned = std::chrono::steady_clock::now() - start;
    EXPECT_LT(returned, std::chrono::milliseconds(500));
    EXPECT_GE(returned, std::chrono::milliseconds(90));
    {
        std::lock_guard<std::mutex> lock(record.mutex);
        EXPECT_TRUE(record.finished.empty());
    }
    ASSERT_TRUE(record.WaitFinished(1, std::chrono::seconds(10)));
    EXPECT_EQ(record.lines, (std::vector<std::wstring>{L"first", L"second"}));
    EXPECT_EQ(record.finished.front().first, 1);
}

TEST_F(RunnerTest, RunAsyncOfMissingToolReturnsAtOnce) {
    SVCommandLineProcess runner = Runner();
    const auto start = std::chrono::steady_clock::now();
    runner.RunAsync(L"/nonexistent/tool.exe");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    ASSERT_TRUE(record.WaitFinished(1, std::chrono::seconds(5)));
    EXPECT_EQ(record.finished.front().first, 0);
}

TEST_F(RunnerTest, CloneCopiesTheRunSettings) {
    SVCommandLineProcess runner(L"/tools");
    runner.commandLine = L"x";
    runner.linePrefix = L"[cdr] ";
    runner.onLine = CallbackRecord::OnLine;
    runner.onFinished = CallbackRecord::OnFinished;
    std::unique_ptr<SVCommandLineProcess> copy(runner.Clone());
    EXPECT_EQ(copy->toolFolder, L"/tools");
    EXPECT_EQ(copy->commandLine, L"x");
    EXPECT_EQ(copy->linePrefix, L"[cdr] ");
    EXPECT_EQ(copy->onLine, runner.onLine);
    EXPECT_EQ(copy->onFinished, runner.onFinished);
    EXPECT_EQ(copy->startedEvent, nullptr);
}

}  // namespace
