#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/ChildProcess.h"
#include "process/SVCommandLineProcess.h"
#include "process/SVDVDProcess.h"
#include "process/SVFFMPEGProcess.h"
#include "process/SVPipe.h"
#include "tests/process/ProcessTestSupport.h"
#include "tests/support/FileText.h"

namespace {

// The jobs only pass the movie pointer back; it is never looked into.
SVDVDAuthorMovie* MovieMarker(int& marker) { return reinterpret_cast<SVDVDAuthorMovie*>(&marker); }

class RecordingAuthor : public SVDVDAuthorEvents {
public:
    void OnAuthoringEnded(int flag, const std::wstring& text) override {
        std::lock_guard<std::mutex> lock(mutex);
        ended.emplace_back(flag, text);
        changed.notify_all();
    }
    void OnMovieProgress(SVDVDAuthorMovie* movie, float seconds) override {
        std::lock_guard<std::mutex> lock(mutex);
        progress.emplace_back(movie, seconds);
    }
    void OnEncoderMessage(const std::wstring& text) override {
        std::lock_guard<std::mutex> lock(mutex);
        messages.push_back(text);
    }
    void OnMovieEncoded(SVDVDAuthorMovie* movie) override {
        std::lock_guard<std::mutex> lock(mutex);
        encoded.push_back(movie);
        changed.notify_all();
    }
    bool WaitEnded(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return !ended.empty() || !encoded.empty(); });
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<int, std::wstring>> ended;
    std::vector<std::pair<SVDVDAuthorMovie*, float>> progress;
    std::vector<std::wstring> messages;
    std::vector<SVDVDAuthorMovie*> encoded;
};

// Alive and not a zombie waiting for whoever adopted it.
bool ProcessAlive(pid_t pid) {
    const std::string stat = ReadFileBytes("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

TEST(ParseEncodedTime, ReadsTheSecondsAfterTime) {
    const struct {
        std::string line;
        double seconds;
    } cases[] = {
        {"frame=  100 fps= 25 time=12.48 bitrate=4000", 12.48},
        {"time=4.00 ", 4.0},
        {"time=abc", 0.0},
        {"time=", 0.0},
        {"size= 1kB time=1e2x", 100.0},
        {"time=7.5e", 7.5},
        {"time=-3", -3.0},
        {"time=.5", 0.5},
        {"time=inf", 0.0},
        {"time=0x10", 0.0},
        {"time=3.2.1", 3.2},
        {"Input #0, avi, from 'x.avi':", -1.0},
        {"lifetime=5 time=6", 5.0},
        {"", -1.0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(ParseEncodedTime(c.line), c.seconds) << c.line;
}

TEST(SVDVDProcess, ReportsSuccessOnceAndKeepsTheExitStatus) {
    RecordingAuthor author;
    SVDVDProcess job;
    job.owner = &author;
    job.program = Helper();
    job.arguments = Step("out:line one\\n") + Step("cwd") + Step("exit:4");
    job.StartThread();
    ASSERT_TRUE(author.WaitEnded(std::chrono::seconds(10)));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(author.ended, (std::vector<std::pair<int, std::wstring>>{{1, L"Success"}}));
    EXPECT_EQ(job.Outcome().code, 4);
    const auto tail = job.OutputTail();
    ASSERT_EQ(tail.size(), 2u);
    EXPECT_EQ(tail[0], "line one");
    EXPECT_EQ(tail[1], BinFolder());  // jobs run in the tools folder
}

TEST(SVDVDProcess, UnstartableToolIsReportedLikeAFinishedRun) {
    RecordingAuthor author;
    SVDVDProcess job;
    job.owner = &author;
    job.program = L"/nonexistent/dvdauthor.exe";
    job.StartThread();
    ASSERT_TRUE(author.WaitEnded(std::chrono::seconds(5)));
    EXPECT_EQ(author.ended.size(), 1u);
    EXPECT_FALSE(job.Outcome().started);
}

TEST(SVDVDProcess, TerminateKillsTheWholeGroup) {
    TempFolder temp;
    RecordingAuthor author;
    SVDVDProcess job;
    job.owner = &author;
    job.program = Helper();
    job.arguments = Step("ignore-term") + Step("grandchild:" + temp / "pid") + Step("sleep:60000");
    job.Terminate();  // no child yet: nothing happens, the child still starts
    job.StartThread();
    std::string pidText;
    for (int i = 0; i < 400 && pidText.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        pidText = ReadFileBytes(temp / "pid");
    }
    ASSERT_FALSE(pidText.empty());
    const pid_t grandchild = std::stoi(pidText);
    EXPECT_TRUE(ProcessAlive(grandchild));
    job.Terminate();
    ASSERT_TRUE(author.WaitEnded(std::chrono::seconds(5)));
    EXPECT_EQ(job.Outcome().signal, SIGKILL);
    EXPECT_TRUE([&] {
        for (int i = 0; i < 200; ++i) {
            if (!ProcessAlive(grandchild)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }());
    job.Terminate();  // after the end: no live child, nothing to signal
}

TEST(ChildProcess, KillAfterReapingSignalsNothing) {
    // A process group of our own that must survive: if Kill reached a reaped pid's group
    // by mistake, this reuse of the signal path would show it.
    platform::ChildProcess child;
    ASSERT_TRUE(child.Start(Helper() + Step("exit:0"), L""));
    child.Wait();
    const pid_t old = child.Pid();
    platform::ChildProcess other;
    ASSERT_TRUE(other.Start(Helper() + Step("sleep:300"), L""));
    child.Kill();
    EXPECT_TRUE(child.Exit().exited);
    EXPECT_FALSE(other.WaitFor(std::chrono::milliseconds(100)));
    if (other.Pid() == old) {
        EXPECT_TRUE(ProcessAlive(other.Pid()));
    }
    other.Wait();
    EXPECT_TRUE(other.Exit().Succeeded());
}

class EncoderJobTest : public testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(WaitUntil([] { return LeftoverPipes().empty(); }, std::chrono::seconds(2)));
    }
    int marker = 0;
};

TEST_F(EncoderJobTest, ProgressLinesBecomeSecondsAndOthersLogText) {
    RecordingAuthor author;
    auto* relay = new SVPipe;
    relay->Start();
    const std::string in = relay->input.name, out = relay->output.name;
    SVFFMPEGProcess job;
    job.author = &author;
    job.movie = MovieMarker(marker);
    job.relay = relay;
    job.program = Helper() + Step("out:frame=1 time=4.00 bitrate=1\\r") + Step("out:Stream mapping:\\r\\n") +
                  Step("write:" + in + ":70000") + Step("out:frame=2 time=8.5 x\\r") + Step("out:last words\\n") + Step("exit:1");
    job.Start();
    platform::ChildProcess consumer;
    ASSERT_TRUE(consumer.Start(Helper() + Step("read:" + out), L""));
    ASSERT_TRUE(author.WaitEnded(std::chrono::seconds(10)));
    consumer.Wait();
    EXPECT_EQ(author.progress, (std::vector<std::pair<SVDVDAuthorMovie*, float>>{{job.movie, 4.0f}, {job.movie, 8.5f}}));
    EXPECT_EQ(author.messages, (std::vector<std::wstring>{L"[Enc] Stream mapping:", L"[Enc] last words"}));
    EXPECT_EQ(author.encoded, std::vector<SVDVDAuthorMovie*>{job.movie});
    EXPECT_EQ(job.Outcome().code, 1);
}

TEST_F(EncoderJobTest, EncoderWaitsForItsConsumer) {
    TempFolder temp;
    RecordingAuthor author;
    auto* relay = new SVPipe;
    relay->Start();
    SVPipeIn input = relay->input;
    SVPipeOut output = relay->output;
    {
        SVFFMPEGProcess job;
        job.author = &author;
        job.relay = relay;
        job.program = Helper() + Step("touch:" + temp / "started");
        job.Start();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_FALSE(std::filesystem::exists(temp / "started"));
        // Cancel: releasing the ends lets the job and the relay finish without the encoder.
        output.Abandon();
        input.Abandon();
    }
    EXPECT_FALSE(std::filesystem::exists(temp / "started"));
    // A movie that was never reached was not encoded.
    EXPECT_TRUE(author.encoded.empty());
}

TEST_F(EncoderJobTest, EncoderThatCannotStartReleasesTheConsumer) {
    RecordingAuthor author;
    auto* relay = new SVPipe;
    relay->Start();
    const std::string out = relay->output.name;
    SVFFMPEGProcess job;
    job.author = &author;
    job.movie = MovieMarker(marker);
    job.relay = relay;
    job.program = L"/nonexistent/ffmpeg.exe -i x";
    job.Start();
    platform::ChildProcess consumer;
    ASSERT_TRUE(consumer.Start(Helper() + Step("read:" + out), L""));
    ASSERT_TRUE(author.WaitEnded(std::chrono::seconds(5)));
    ASSERT_TRUE(consumer.WaitFor(std::chrono::seconds(5))) << "the consumer must see end-of-stream";
    EXPECT_TRUE(author.progress.empty());
    EXPECT_TRUE(author.messages.empty());
    EXPECT_EQ(author.encoded.size(), 1u);
}

}  // namespace
