#include "process/SVCommandLineProcess.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/TextCodec.h"
#include "process/LineSplitter.h"

SVCommandLineProcess* SVCommandLineProcess::Clone() const {
    auto* copy = new SVCommandLineProcess(toolFolder);
    copy->commandLine = commandLine;
    copy->linePrefix = linePrefix;
    copy->onFinished = onFinished;
    copy->onLine = onLine;
    return copy;
}

void SVCommandLineProcess::RunSync(const std::wstring& line) {
    commandLine = line;
    Run();
}

void SVCommandLineProcess::RunAsync(const std::wstring& line) {
    if (startedEvent) return;
    commandLine = line;
    SVCommandLineProcess* copy = Clone();
    // Shared by both threads, so the worker can never signal an event that is gone.
    auto started = std::make_shared<platform::Event>();
    copy->startedEvent = started;
    std::thread([copy] {
        copy->Run();
        delete copy;
    }).detach();
    started->Wait(std::chrono::seconds(100));
}

void SVCommandLineProcess::DeliverLine(std::vector<std::string>& lines, const std::string& text) const {
    lines.push_back(text);
    if (onLine) onLine(linePrefix + platform::Widen(text));
}

size_t SVCommandLineProcess::SplitLines(const char* buffer, size_t length, std::vector<std::string>& lines) const {
    LineSplitter splitter(kBufferSize);
    splitter.Feed(buffer, length, [&](const std::string& text) { DeliverLine(lines, text); });
    return splitter.PendingSize();
}

std::vector<std::string> SVCommandLineProcess::Run() {
    std::vector<std::string> lines;
    platform::ChildProcess child;
    if (!child.Start(commandLine, L"")) {
        lastExit = child.Exit();
        if (startedEvent) startedEvent->Signal();
        if (onFinished) onFinished(0, L"");
        return lines;
    }
    child.WaitFor(std::chrono::milliseconds(100));
    if (startedEvent) startedEvent->Signal();

    // A line longer than the 4096-byte buffer is delivered cut into 4096-byte pieces;
    // the run still reads to the end of the output.
    LineSplitter splitter(kBufferSize);
    char buffer[kBufferSize];
    for (;;) {
        const ssize_t n = ::read(child.OutputFd(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        splitter.Feed(buffer, static_cast<size_t>(n), [&](const std::string& text) { DeliverLine(lines, text); });
    }
    child.CloseOutput();
    child.Wait();
    lastExit = child.Exit();
    if (onFinished) onFinished(1, L"");
    return lines;
}
