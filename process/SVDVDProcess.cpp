#include "process/SVDVDProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/ExecutablePath.h"
#include "process/LineSplitter.h"

namespace {

// Length of the longest leading decimal number: sign, digits, point, fraction, exponent.
size_t DecimalPrefix(const std::string& text) {
    size_t i = 0;
    auto digits = [&] {
        const size_t from = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        return i - from;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return 0;
    const size_t beforeExponent = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) i = beforeExponent;
    }
    return i;
}

}  // namespace

double ParseEncodedTime(const std::string& line) {
    const size_t at = line.find("time=");
    if (at == std::string::npos) return -1.0;
    const size_t start = at + 5;
    const size_t blank = line.find(' ', start);
    const std::string value = line.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
    const size_t length = DecimalPrefix(value);
    if (length == 0) return 0.0;
    return std::strtod(value.substr(0, length).c_str(), nullptr);
}

SVDVDProcess::SVDVDProcess() : workingFolder(platform::ExecutableFolder()) {}

SVDVDProcess::~SVDVDProcess() { JoinThread(); }

void SVDVDProcess::JoinThread() {
    if (thread.joinable() && thread.get_id() != std::this_thread::get_id()) thread.join();
}

void SVDVDProcess::Wait() { JoinThread(); }

bool SVDVDProcess::PrepareRun() {
    if (thread.joinable()) {
        if (!finished) return false;
        // Called from the old run's own thread (a callback starting the next run): it is
        // about to end and cannot be joined here.
        if (thread.get_id() == std::this_thread::get_id()) {
            thread.detach();
        } else {
            thread.join();
        }
    }
    std::lock_guard<std::mutex> lock(mutex);
    tail.clear();
    outcome = platform::ChildExit{};
    finished = false;
    terminated = false;
    return true;
}

void SVDVDProcess::StartThread() {
    if (!PrepareRun()) return;
    thread = std::thread([this] { AuthoringThread(); });
}

void SVDVDProcess::Terminate() {
    std::shared_ptr<platform::ChildProcess> child;
    {
        std::lock_guard<std::mutex> lock(mutex);
        child = process;
    }
    if (!child || child->HasExited()) return;
    terminated = true;
    child->Kill();
}

platform::ChildExit SVDVDProcess::Outcome() {
    std::lock_guard<std::mutex> lock(mutex);
    return outcome;
}

std::deque<std::string> SVDVDProcess::OutputTail() {
    std::lock_guard<std::mutex> lock(mutex);
    return tail;
}

void SVDVDProcess::KeepTail(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex);
    tail.push_back(line);
    if (tail.size() > kTailLines) tail.pop_front();
}

bool SVDVDProcess::StartChild(const std::wstring& commandLine) {
    auto child = std::make_shared<platform::ChildProcess>();
    const bool started = child->Start(commandLine, workingFolder);
    std::lock_guard<std::mutex> lock(mutex);
    if (started) process = child;
    outcome = child->Exit();
    return started;
}

void SVDVDProcess::ReleaseChild() {
    std::lock_guard<std::mutex> lock(mutex);
    if (process) outcome = process->Exit();
    process.reset();
}

void SVDVDProcess::PumpOutput(int idleMilliseconds, const std::function<void(const std::string&)>& onLine) {
    std::shared_ptr<platform::ChildProcess> child;
    {
        std::lock_guard<std::mutex> lock(mutex);
        child = process;
    }
    if (!child) return;
    const int fd = child->OutputFd();
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    LineSplitter splitter(4096);
    char buffer[4096];
    auto drain = [&] {
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return n == 0;  // true at end of stream
            splitter.Feed(buffer, static_cast<size_t>(n), onLine);
        }
    };
    bool endOfStream = false;
    while (!child->HasExited()) {
        pollfd watch{fd, POLLIN, 0};
        if (!endOfStream && ::poll(&watch, 1, idleMilliseconds) > 0) {
            endOfStream = drain();
        } else if (endOfStream) {
            child->WaitFor(std::chrono::milliseconds(idleMilliseconds));
        }
    }
    // What the child printed just before it ended is still read (it often says why).
    if (!endOfStream) drain();
    child->CloseOutput();
}

void SVDVDProcess::AuthoringThread() {
    if (StartChild(program + L" " + arguments)) {
        PumpOutput(1, [this](const std::string& line) { KeepTail(line); });
    }
    ReleaseChild();
    // Set first: the owner's handler may start the next run from this thread.
    finished = true;
    if (owner) owner->OnAuthoringEnded(1, L"Success");
}
