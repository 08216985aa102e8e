#include "process/SVPipe.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <vector>

#include "platform/FileIo.h"
#include "platform/MonotonicClock.h"

namespace {

void AppendDigitsAsLetters(std::string& out, uint32_t value) {
    while (value != 0) {
        out += static_cast<char>('a' + value % 10);
        value /= 10;
    }
}

}  // namespace

std::string PipeLettersOf(uint64_t counter) {
    std::string letters;
    AppendDigitsAsLetters(letters, static_cast<uint32_t>(counter & 0xFFFFFFFFu));
    AppendDigitsAsLetters(letters, static_cast<uint32_t>(counter >> 32));
    return letters;
}

std::string MakeUniquePipeName() {
    return platform::PrivatePipeFolder() + "/" + PipeLettersOf(static_cast<uint64_t>(platform::MonotonicTicks()));
}

SVPipeIn::SVPipeIn() { SVPipeIn::Create(); }

bool SVPipeIn::CreateEnd(bool forWriting) {
    if (platform::PrivatePipeFolder().empty()) return false;
    // Two ends made within one tick would share a name: take the next tick's.
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = MakeUniquePipeName();
        handle = std::make_shared<platform::FifoEnd>(name, forWriting);
        if (handle->Create()) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

bool SVPipeIn::Create() { return CreateEnd(false); }

bool SVPipeIn::Connect() { return handle && handle->Connect(); }

void SVPipeIn::Abandon() {
    if (handle) handle->Abandon();
}

bool SVPipeIn::Write(const std::string& text) { return handle && handle->Write(text.data(), text.size()); }

void SVPipeIn::Disconnect() {
    if (handle) handle->Close();
}

SVPipeOut::SVPipeOut() : SVPipeIn(NoCreate{}) { SVPipeOut::Create(); }

bool SVPipeOut::Create() { return CreateEnd(true); }

SVPipeInOut::SVPipeInOut() : SVPipeIn(NoCreate{}) { SVPipeInOut::Create(); }

bool SVPipeInOut::Create() { return CreateEnd(true); }

SVPipe::SVPipe() = default;

SVPipe::~SVPipe() = default;

void SVPipe::Start() {
    if (startedEvent) return;
    startedEvent = std::make_shared<platform::Event>();
    auto started = startedEvent;
    // The relay may delete this object as soon as it runs: nothing here touches it after.
    std::thread([this, started] {
        started->Signal();
        Relay();
    }).detach();
    started->Wait(std::chrono::milliseconds(10000));
}

void SVPipe::Relay() {
    // A consumer that went away must give EPIPE here, not end the program.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);

    std::vector<char> buffer(bufferSize);
    // The consumer is always attached first, then the producer.
    if (output.Connect() && input.Connect()) {
        bool consumerGone = false;
        for (;;) {
            const ssize_t n = ::read(input.handle->Fd(), buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            // After the consumer is gone the producer is still read to its end.
            if (!consumerGone) consumerGone = !platform::WriteAll(output.handle->Fd(), buffer.data(), static_cast<size_t>(n));
        }
    }
    output.handle->Close();
    input.handle->Close();
    output.handle->Remove();
    input.handle->Remove();
    delete this;
}
