#include "burning/BurnRun.h"

#include <chrono>
#include <memory>
#include <thread>

#include "platform/Event.h"
#include "platform/TextCodec.h"

namespace {

constexpr auto kStartWait = std::chrono::seconds(100);
// After the recorder, the image maker has this long to notice that nobody reads it.
constexpr auto kImageMakerWait = std::chrono::seconds(60);

SVCommandLineProcess Runner(const SVBurner& burner, const std::wstring& command, const std::wstring& prefix,
                            const std::shared_ptr<platform::Event>& started) {
    SVCommandLineProcess runner(burner.toolFolder);
    runner.commandLine = command;
    runner.linePrefix = prefix;
    runner.onLine = burner.lineHook;
    runner.startedEvent = started;
    return runner;
}

std::wstring FailureText(const SVCommandLineProcess& runner, const std::vector<std::string>& lines) {
    if (!runner.lastExit.started) return L"The disc recorder could not be started: " + runner.commandLine;
    if (lines.empty()) return L"The disc recorder failed.";
    return platform::Widen(lines.back());
}

}  // namespace

void StartRecorderRun(const SVBurner& burner, const std::wstring& command, const std::wstring& prefix,
                      std::function<void()> afterRun) {
    auto started = std::make_shared<platform::Event>();
    const FinishedCallback hook = burner.finishedHook;
    std::thread([runner = Runner(burner, command, prefix, started), hook, afterRun]() mutable {
        const std::vector<std::string> lines = runner.Run();
        if (afterRun) afterRun();
        const bool ok = runner.lastExit.Succeeded();
        if (hook) hook(ok ? 1 : 0, ok ? std::wstring() : FailureText(runner, lines));
    }).detach();
    started->Wait(kStartWait);
}

void StartBurnRuns(const SVBurner& burner, SVPipe* relay, const std::wstring& imageCommand, const std::wstring& writeCommand) {
    // Weak: the relay owns its ends and deletes itself; these only reach them while it lives.
    std::weak_ptr<platform::FifoEnd> input = relay->input.handle, output = relay->output.handle;
    auto imageEnded = std::make_shared<platform::Event>();
    auto started = std::make_shared<platform::Event>();
    std::thread([runner = Runner(burner, imageCommand, L"[mkfs] ", started), input, imageEnded]() mutable {
        runner.Run();
        // An image maker that never opened its output must not leave the recorder waiting.
        if (auto end = input.lock()) end->Abandon();
        imageEnded->Signal();
    }).detach();
    started->Wait(kStartWait);

    StartRecorderRun(burner, writeCommand, L"[cdr] ", [input, output, imageEnded] {
        {
            // The input first: an image maker still opening it is let through, and then
            // finds nobody reading once the relay is gone.
            auto in = input.lock();
            auto out = output.lock();
            if (in) in->Abandon();
            if (out) out->Abandon();
        }
        imageEnded->Wait(kImageMakerWait);
    });
}
