#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

// An auto-reset event: Signal wakes one waiter, or the next one to wait.
class Event {
public:
    void Signal() {
        std::lock_guard<std::mutex> lock(mutex);
        signalled = true;
        condition.notify_one();
    }
    // True when signalled within the time; the signal is consumed.
    bool Wait(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex);
        const bool got = condition.wait_for(lock, timeout, [this] { return signalled; });
        signalled = false;
        return got;
    }

private:
    std::mutex mutex;
    std::condition_variable condition;
    bool signalled = false;
};

}  // namespace platform
