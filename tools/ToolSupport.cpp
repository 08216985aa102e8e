#include "tools/ToolSupport.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "process/LineSplitter.h"

extern char** environ;

namespace tools {
namespace {

pid_t runningChild = -1;

// A polite stop of this tool stops the real tool too (a SIGKILL of the group needs nothing).
void ForwardSignal(int signalNumber) {
    if (runningChild > 0) ::kill(runningChild, SIGKILL);
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string Resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

}  // namespace

std::string FindRealTool(const std::string& name) {
    const std::string self = Resolved("/proc/self/exe");
    const std::string ownFolder = FolderOfPath(self);
    const char* path = std::getenv("PATH");
    std::string folders = std::string(path ? path : "") + ":/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = folders.find(':', start);
        const std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? folders.size() + 1 : end + 1;
        if (folder.empty()) continue;
        const std::string candidate = folder + "/" + name;
        if (::access(candidate.c_str(), X_OK) != 0) continue;
        const std::string real = Resolved(candidate);
        if (real.empty() || real == self || FolderOfPath(real) == ownFolder || Resolved(folder) == ownFolder) continue;
        return candidate;
    }
    return {};
}

RunResult RunTool(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment,
                  const std::function<void(const std::string&)>& onLine, int inputFd) {
    RunResult result;
    int fds[2];
    if (argv.empty() || ::pipe2(fds, O_CLOEXEC) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (inputFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, inputFd, 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);

    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) environment.emplace_back(*e);
    for (const std::string& extra : extraEnvironment) environment.push_back(extra);
    std::vector<char*> envp, args;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    for (std::string& a : argCopy) args.push_back(a.data());
    args.push_back(nullptr);

    ::signal(SIGTERM, ForwardSignal);
    ::signal(SIGINT, ForwardSignal);
    pid_t child = -1;
    const int error = ::posix_spawn(&child, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (inputFd >= 0) ::close(inputFd);
    if (error != 0) {
        ::close(fds[0]);
        return result;
    }
    runningChild = child;
    result.started = true;

    LineSplitter splitter(1 << 16);
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        if (onLine) {
            splitter.Feed(buffer, static_cast<size_t>(n), onLine);
        } else {
            result.output.append(buffer, static_cast<size_t>(n));
        }
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    runningChild = -1;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

void PrintLine(const std::string& line) {
    const std::string whole = line + "\n";
    std::fwrite(whole.data(), 1, whole.size(), stdout);
    std::fflush(stdout);
}

int Fail(const std::string& message, int code) {
    PrintLine(message);
    return code;
}

}  // namespace tools
