#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/ChildProcess.h"
#include "platform/Event.h"
#include "process/Callbacks.h"

// Runs one command line with its output (standard output and error) on a pipe, cuts the
// output into lines, hands each to onLine as it arrives and reports the end to onFinished.
class SVCommandLineProcess {
public:
    SVCommandLineProcess() = default;
    explicit SVCommandLineProcess(std::wstring toolFolder) : toolFolder(std::move(toolFolder)) {}
    virtual ~SVCommandLineProcess() = default;

    // Always of this base class, whatever the object's own class.
    virtual SVCommandLineProcess* Clone() const;
    virtual void RunSync(const std::wstring& line);
    // Returns once the child runs (about 100 ms after its start) or could not be started.
    virtual void RunAsync(const std::wstring& line);

    std::vector<std::string> Run();
    // Splits the bytes into lines (delivered to onLine and added to lines); returns the
    // length of the unfinished tail.
    size_t SplitLines(const char* buffer, size_t length, std::vector<std::string>& lines) const;

    // How the last Run's child ended; the window judges runs from their lines, jobs of
    // their own may look here.
    platform::ChildExit lastExit;

    std::shared_ptr<platform::Event> startedEvent;
    std::wstring toolFolder;
    std::wstring commandLine;
    std::wstring linePrefix;
    FinishedCallback onFinished = nullptr;
    TextCallback onLine = nullptr;

    static constexpr size_t kBufferSize = 4096;

private:
    void DeliverLine(std::vector<std::string>& lines, const std::string& text) const;
};
