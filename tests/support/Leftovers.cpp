#include "tests/support/Leftovers.h"

#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/Fifo.h"

std::vector<std::string> LeftoverPipes() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(platform::PrivatePipeFolder(), error)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

std::vector<pid_t> ChildPids() {
    std::vector<pid_t> pids;
    std::error_code error;
    // Every thread keeps its own list of the children it started.
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream children(task.path() / "children");
        pid_t pid;
        while (children >> pid) pids.push_back(pid);
    }
    return pids;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
