#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <memory>
#include <thread>

#include "platform/ChildProcess.h"
#include "platform/Fifo.h"
#include "process/SVCommandLineProcess.h"
#include "process/SVPipe.h"
#include "tests/process/ProcessTestSupport.h"

namespace {

// What child_helper's "read" step prints for count bytes written by its "write" step.
std::string ReadLineFor(long long count) {
    unsigned long long sum = 0;
    for (long long i = 0; i < count; ++i) sum = sum * 31 + static_cast<unsigned char>(i % 251);
    return "read " + std::to_string(count) + " " + std::to_string(sum);
}

// Starts a self-deleting relay and gives the producer's and the consumer's pipe paths.
std::pair<std::string, std::string> StartRelay() {
    auto* relay = new SVPipe;
    relay->Start();
    return {relay->input.name, relay->output.name};
}

class Tool {
public:
    explicit Tool(const std::wstring& steps) { started = child.Start(Helper() + steps, L""); }
    std::vector<std::string> Finish() {
        std::vector<std::string> lines;
        SVCommandLineProcess splitter;
        std::string all;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(child.OutputFd(), buffer, sizeof buffer)) > 0) all.append(buffer, static_cast<size_t>(n));
        child.Wait();
        splitter.SplitLines(all.data(), all.size(), lines);
        return lines;
    }
    platform::ChildProcess child;
    bool started = false;
};

TEST(PipeNames, LettersFollowTheDigitsOfTheCounter) {
    EXPECT_EQ(PipeLettersOf(1234567), "hgfedcb");
    EXPECT_EQ(PipeLettersOf(5000000000ULL), "eahcdafahb");
    EXPECT_EQ(PipeLettersOf(uint64_t{7} << 32), "h");
    EXPECT_EQ(PipeLettersOf(0), "");
    EXPECT_EQ(PipeLettersOf(90), "aj");
}

TEST(PipeNames, EveryEndGetsItsOwnPrivateFifo) {
    const SVPipeIn a;
    const SVPipeOut b;
    const SVPipeInOut c;
    EXPECT_NE(a.name, b.name);
    EXPECT_NE(b.name, c.name);
    const std::string folder = platform::PrivatePipeFolder() + "/";
    struct stat info;
    ASSERT_EQ(stat(platform::PrivatePipeFolder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    for (const auto* end : {static_cast<const SVPipeIn*>(&a), static_cast<const SVPipeIn*>(&b), static_cast<const SVPipeIn*>(&c)}) {
        ASSERT_EQ(end->name.rfind(folder, 0), 0u);
        const std::string letters = end->name.substr(folder.size());
        EXPECT_FALSE(letters.empty());
        EXPECT_EQ(letters.find_first_not_of("abcdefghij"), std::string::npos) << letters;
        ASSERT_EQ(stat(end->name.c_str(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        end->handle->Remove();
    }
}

class RelayTest : public testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(WaitUntil([] { return LeftoverPipes().empty(); }, std::chrono::seconds(5)))
            << "a relay left a FIFO behind";
    }
};

TEST_F(RelayTest, ConsumerReceivesEveryByteAndEndOfStream) {
    const auto [in, out] = StartRelay();
    Tool consumer(Step("read:" + out));
    Tool producer(Step("write:" + in + ":3000001"));
    EXPECT_TRUE(producer.Finish().empty());
    EXPECT_EQ(consumer.Finish(), std::vector<std::string>{ReadLineFor(3000001)});
}

TEST_F(RelayTest, ProducerThatWritesNothingGivesAnEmptyStream) {
    const auto [in, out] = StartRelay();
    Tool consumer(Step("read:" + out));
    Tool producer(Step("write:" + in + ":0"));
    producer.Finish();
    EXPECT_EQ(consumer.Finish(), std::vector<std::string>{"read 0 0"});
}

TEST_F(RelayTest, NothingIsReadBeforeTheConsumerAttaches) {
    const auto [in, out] = StartRelay();
    // More than the 1 MiB inbound buffer: the producer must block until the consumer is there.
    Tool producer(Step("write:" + in + ":4000000"));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_FALSE(producer.child.HasExited());
    Tool consumer(Step("read:" + out));
    producer.Finish();
    EXPECT_EQ(consumer.Finish(), std::vector<std::string>{ReadLineFor(4000000)});
}

TEST_F(RelayTest, AbandonedRelayEndsAndRemovesItsFifos) {
    auto* relay = new SVPipe;
    relay->Start();
    SVPipeIn input = relay->input;
    SVPipeOut output = relay->output;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    output.Abandon();
    input.Abandon();
}

TEST_F(RelayTest, AbandonWithConsumerAttachedGivesItEndOfStream) {
    auto* relay = new SVPipe;
    relay->Start();
    SVPipeIn input = relay->input;
    Tool consumer(Step("read:" + relay->output.name));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    input.Abandon();
    EXPECT_EQ(consumer.Finish(), std::vector<std::string>{"read 0 0"});
}

TEST_F(RelayTest, ConsumerThatLeavesDoesNotStallTheProducer) {
    const auto [in, out] = StartRelay();
    Tool consumer(Step("open:" + out));
    Tool producer(Step("write:" + in + ":100000"));
    consumer.Finish();
    producer.Finish();
    EXPECT_TRUE(producer.child.Exit().Succeeded());
}

TEST(FifoEnd, SeveralConnectsShareOneDescriptor) {
    auto* relay = new SVPipe;
    SVPipeOut output = relay->output;
    relay->Start();
    int sharedFd = -1;
    std::thread second([&] {
        ASSERT_TRUE(output.Connect());
        sharedFd = output.handle->Fd();
    });
    Tool consumer(Step("read:" + output.name));
    second.join();
    EXPECT_GE(sharedFd, 0);
    Tool producer(Step("write:" + relay->input.name + ":10"));
    producer.Finish();
    // Had the second Connect opened a writer of its own, this read would never end.
    EXPECT_EQ(consumer.Finish(), std::vector<std::string>{ReadLineFor(10)});
}

// The description is written on the window thread: a reader that goes away must give a
// failed write, not the broken-pipe signal that would end the program.
TEST(FifoEnd, WriteToAReaderThatLeftFailsQuietly) {
    SVPipeInOut channel;
    Tool reader(Step("open:" + channel.name));  // opens the pipe and ends without reading
    ASSERT_TRUE(channel.Connect());
    reader.Finish();
    EXPECT_FALSE(channel.Write("<dvdauthor>"));
    EXPECT_FALSE(channel.Write(std::string(1 << 20, 'x')));
    sigset_t pending;
    sigpending(&pending);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE));
    channel.Disconnect();
    channel.handle->Remove();
}

}  // namespace
