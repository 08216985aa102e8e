#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

class Vidorra;

// What the engines report, queued for the command line's one thread: the command line's
// counterpart of the window's posted messages.
enum class CliEventKind { encodeProgress, encodeFinished, encodeCancelled, encodeLine, blankFinished, blankLine, burnFinished, burnLine };

struct CliEvent {
    CliEventKind kind = CliEventKind::encodeLine;
    int32_t flag = 0;
    float seconds = 0;
    std::wstring text;
};

class CliEvents {
public:
    void Post(CliEvent event);
    // False when nothing arrived within the timeout.
    bool Wait(CliEvent& event, std::chrono::milliseconds timeout);

    // The queue the plain-function callbacks post to (they carry no context).
    static CliEvents& Queue();
    // Sets every callback of the application object to post here.
    static void Wire(Vidorra& vidorra);

private:
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<CliEvent> events;
};
