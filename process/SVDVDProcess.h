#pragma once
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/ChildProcess.h"
#include "process/SVDVDAuthorEvents.h"
#include "process/SVNode.h"

// The authoring tool's job: runs `program` + " " + `arguments` in the tools folder on a
// thread of its own, keeps its output drained, and tells the owner when it has ended.
class SVDVDProcess : public SVNode {
public:
    SVDVDProcess();
    // Waits for the job's thread, so a job is never destroyed under its own feet.
    ~SVDVDProcess() override;

    // Starts the job's thread; a job whose earlier run has ended can be started again.
    void StartThread();
    // Kills the child's whole process group; nothing when there is no live child.
    virtual void Terminate();
    // Waits until the job's thread has ended (at once when it never started).
    void Wait();
    // True once the child has ended and been let go; the owner's report may still run.
    bool Finished() const { return finished; }
    // True when Terminate killed a live child (its exit then says nothing of the tool).
    bool Terminated() const { return terminated; }

    // How the child ended (valid once the owner was told).
    platform::ChildExit Outcome();
    // The last lines the child printed, for a failure message.
    std::deque<std::string> OutputTail();

    std::wstring program;
    std::wstring arguments;
    SVDVDAuthorEvents* owner = nullptr;
    // Where the child starts; the tools folder unless the owner says otherwise.
    std::wstring workingFolder;

    static constexpr size_t kTailLines = 40;

protected:
    // Joins an ended earlier run and clears what it left; false while a run is going on.
    bool PrepareRun();
    bool StartChild(const std::wstring& commandLine);
    void ReleaseChild();
    void JoinThread();
    void KeepTail(const std::string& line);
    // Reads the child's output line by line until it has ended, then reaps it.
    void PumpOutput(int idleMilliseconds, const std::function<void(const std::string&)>& onLine);

    std::thread thread;
    std::mutex mutex;
    std::shared_ptr<platform::ChildProcess> process;
    platform::ChildExit outcome;
    std::deque<std::string> tail;
    std::atomic<bool> finished{false};
    std::atomic<bool> terminated{false};

private:
    void AuthoringThread();
};

// Seconds of an encoder progress line ("time=" and a number), or -1.0 for any other line.
double ParseEncodedTime(const std::string& line);
