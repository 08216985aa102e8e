#pragma once
#include <chrono>
#include <mutex>
#include <string>
#include <sys/types.h>

namespace platform {

struct ChildExit {
    bool started = false;  // the program could be started at all
    bool exited = false;   // it has ended and was reaped
    int code = -1;         // exit code when it ended normally, else -1
    int signal = 0;        // the signal that ended it, else 0

    bool Succeeded() const { return exited && signal == 0 && code == 0; }
};

// One child process in a process group of its own. Standard output and standard error go
// to one pipe the owner reads; standard input reads nothing. The child is always reaped:
// the destructor kills and reaps a child still running.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Splits the command line, maps "X.exe" to "X" when only the latter exists, and starts
    // it in workingFolder (the caller's own when empty). False when it cannot be started.
    bool Start(const std::wstring& commandLine, const std::wstring& workingFolder);

    int OutputFd() const { return outputFd; }
    void CloseOutput();

    // Reaps the child when it has ended; true once it has.
    bool HasExited();
    bool WaitFor(std::chrono::milliseconds timeout);
    void Wait();
    // Kills the whole process group, unless the child has already been reaped (its pid
    // may then belong to somebody else).
    void Kill();

    ChildExit Exit();
    pid_t Pid() const { return pid; }

private:
    void RecordStatus(int status);

    std::mutex mutex;
    pid_t pid = -1;
    int outputFd = -1;
    ChildExit exit;
};

// The program a command line runs, after the "X.exe" rule.
std::string ResolveProgram(const std::string& program);

}  // namespace platform
