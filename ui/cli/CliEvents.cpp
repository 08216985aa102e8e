#include "ui/cli/CliEvents.h"

#include "app/Vidorra.h"

namespace {

void Post(CliEventKind kind, int32_t flag, float seconds, std::wstring text) {
    CliEvents::Queue().Post({kind, flag, seconds, std::move(text)});
}

void EncodeProgress(int32_t bits) { Post(CliEventKind::encodeProgress, 0, FloatFromBits(bits), L""); }
void EncodeFinished(int32_t flag, std::wstring text) { Post(CliEventKind::encodeFinished, flag, 0, std::move(text)); }
void EncodeCancelled(std::wstring text) { Post(CliEventKind::encodeCancelled, 0, 0, std::move(text)); }
void EncodeLine(std::wstring text) { Post(CliEventKind::encodeLine, 0, 0, std::move(text)); }
void BlankFinished(int32_t flag, std::wstring text) { Post(CliEventKind::blankFinished, flag, 0, std::move(text)); }
void BlankLine(std::wstring text) { Post(CliEventKind::blankLine, 0, 0, std::move(text)); }
void BurnFinished(int32_t flag, std::wstring text) { Post(CliEventKind::burnFinished, flag, 0, std::move(text)); }
void BurnLine(std::wstring text) { Post(CliEventKind::burnLine, 0, 0, std::move(text)); }

}  // namespace

void CliEvents::Post(CliEvent event) {
    std::lock_guard<std::mutex> lock(mutex);
    events.push_back(std::move(event));
    posted.notify_one();
}

bool CliEvents::Wait(CliEvent& event, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex);
    if (!posted.wait_for(lock, timeout, [this] { return !events.empty(); })) return false;
    event = std::move(events.front());
    events.pop_front();
    return true;
}

CliEvents& CliEvents::Queue() {
    static CliEvents queue;
    return queue;
}

void CliEvents::Wire(Vidorra& vidorra) {
    vidorra.OnEncodeProgress = EncodeProgress;
    vidorra.OnEncodeFinished = EncodeFinished;
    vidorra.OnEncodeCancelled = EncodeCancelled;
    vidorra.OnEncodeLine = EncodeLine;
    vidorra.OnBlankFinished = BlankFinished;
    vidorra.OnBlankLine = BlankLine;
    vidorra.OnBurnFinished = BurnFinished;
    vidorra.OnBurnLine = BurnLine;
}
