#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/CommandLine.h"
#include "platform/TextCodec.h"
#include "tests/support/Leftovers.h"
#include "tests/support/TempFolder.h"

// The helper child program, quoted for a command line.
inline std::wstring Helper() { return platform::QuoteArgument(platform::Widen(BinFolder() + "/child_helper")); }
inline std::wstring Step(const std::string& step) { return L" " + platform::QuoteArgument(platform::Widen(step)); }

// Collects what the plain-function callbacks receive (they carry no context).
struct CallbackRecord {
    static CallbackRecord& Get() {
        static CallbackRecord record;
        return record;
    }
    static void OnLine(std::wstring text) {
        auto& r = Get();
        std::lock_guard<std::mutex> lock(r.mutex);
        r.lines.push_back(std::move(text));
        r.changed.notify_all();
    }
    static void OnFinished(int32_t flag, std::wstring text) {
        auto& r = Get();
        std::lock_guard<std::mutex> lock(r.mutex);
        r.finished.emplace_back(flag, std::move(text));
        r.changed.notify_all();
    }
    void Reset() {
        std::lock_guard<std::mutex> lock(mutex);
        lines.clear();
        finished.clear();
    }
    bool WaitFinished(size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return finished.size() >= count; });
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::wstring> lines;
    std::vector<std::pair<int32_t, std::wstring>> finished;
};
