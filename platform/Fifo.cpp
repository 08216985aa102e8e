#include "platform/Fifo.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/FileIo.h"

namespace platform {
namespace {

constexpr int kInboundPipeSize = 1 << 20;

std::string MakePrivateFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string base = (runtime && runtime[0] == '/' && ::access(runtime, W_OK) == 0) ? runtime : "/tmp";
    std::string pattern = base + "/vidorra-pipes-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    // Without a private folder no pipe can be made; never fall back to a shared one.
    if (!::mkdtemp(buffer.data())) return {};
    return buffer.data();
}

void RemovePrivateFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(PrivatePipeFolder(), ignored);
}

}  // namespace

const std::string& PrivatePipeFolder() {
    // Never destroyed, so the removal at exit still knows the name.
    static const std::string* folder = [] {
        auto* made = new std::string(MakePrivateFolder());
        if (!made->empty()) std::atexit(RemovePrivateFolder);
        return made;
    }();
    return *folder;
}

FifoEnd::FifoEnd(std::string path, bool forWriting) : path(std::move(path)), forWriting(forWriting) {}

FifoEnd::~FifoEnd() {
    Close();
    if (releaseFd >= 0) ::close(releaseFd);
}

bool FifoEnd::Create() { return ::mkfifo(path.c_str(), 0600) == 0; }

bool FifoEnd::Connect() {
    std::unique_lock<std::mutex> lock(mutex);
    if (state == State::open) return !abandoned && fd >= 0;
    if (state == State::opening) {
        opened.wait(lock, [this] { return state == State::open; });
        return !abandoned && fd >= 0;
    }
    if (abandoned) return false;
    state = State::opening;
    lock.unlock();

    const int flags = (forWriting ? O_WRONLY : O_RDONLY) | O_CLOEXEC;
    int opening;
    do {
        opening = ::open(path.c_str(), flags);
    } while (opening < 0 && errno == EINTR);
    if (opening >= 0 && !forWriting) ::fcntl(opening, F_SETPIPE_SZ, kInboundPipeSize);

    lock.lock();
    fd = opening;
    state = State::open;
    opened.notify_all();
    return !abandoned && fd >= 0;
}

void FifoEnd::Abandon() {
    std::lock_guard<std::mutex> lock(mutex);
    if (abandoned) return;
    abandoned = true;
    // Opening both sides at once never blocks; holding it releases a blocked open now and
    // makes any later one return at once.
    if (state != State::open) releaseFd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
}

bool FifoEnd::Abandoned() {
    std::lock_guard<std::mutex> lock(mutex);
    return abandoned;
}

bool FifoEnd::Write(const char* data, size_t length) {
    int target;
    {
        std::lock_guard<std::mutex> lock(mutex);
        target = fd;
    }
    if (target < 0) return false;
    // The signal of a write to a pipe without reader goes to this thread: keep it blocked
    // and take it back if it came, so only this call sees the failure.
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    const bool ok = WriteAll(target, data, length);
    if (!ok && errno == EPIPE) {
        const timespec now{0, 0};
        while (sigtimedwait(&pipeSignal, nullptr, &now) == SIGPIPE) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return ok;
}

void FifoEnd::Close() {
    std::lock_guard<std::mutex> lock(mutex);
    if (fd >= 0) ::close(fd);
    fd = -1;
}

void FifoEnd::Remove() { ::unlink(path.c_str()); }

}  // namespace platform
