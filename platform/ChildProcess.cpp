#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "platform/CommandLine.h"
#include "platform/TextCodec.h"

extern char** environ;

namespace platform {
namespace {

bool EndsWithExe(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".exe";
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

bool ExistsOnPath(const std::string& name) {
    if (name.find('/') != std::string::npos) return Exists(name);
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = folders.find(':', start);
        std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (folder.empty()) folder = ".";
        if (::access((folder + "/" + name).c_str(), X_OK) == 0) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::string ResolveProgram(const std::string& program) {
    if (EndsWithExe(program) && !ExistsOnPath(program)) {
        const std::string bare = program.substr(0, program.size() - 4);
        if (ExistsOnPath(bare)) return bare;
    }
    return program;
}

ChildProcess::~ChildProcess() {
    Kill();
    if (pid > 0) Wait();
    CloseOutput();
}

bool ChildProcess::Start(const std::wstring& commandLine, const std::wstring& workingFolder) {
    std::vector<std::string> arguments;
    for (const std::wstring& argument : SplitCommandLine(commandLine)) arguments.push_back(Narrow(argument));
    if (arguments.empty()) return false;
    arguments[0] = ResolveProgram(arguments[0]);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    const std::string folder = Narrow(workingFolder);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigset_t noMask;
    sigemptyset(&noMask);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &noMask);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t child = -1;
    const int error = ::posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeFds[1]);
    if (error != 0) {
        ::close(pipeFds[0]);
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex);
    pid = child;
    outputFd = pipeFds[0];
    exit.started = true;
    return true;
}

void ChildProcess::CloseOutput() {
    if (outputFd >= 0) ::close(outputFd);
    outputFd = -1;
}

void ChildProcess::RecordStatus(int status) {
    exit.exited = true;
    if (WIFEXITED(status)) exit.code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) exit.signal = WTERMSIG(status);
}

bool ChildProcess::HasExited() {
    std::lock_guard<std::mutex> lock(mutex);
    if (pid <= 0 || exit.exited) return true;
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) RecordStatus(status);
    return exit.exited;
}

bool ChildProcess::WaitFor(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!HasExited()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void ChildProcess::Wait() {
    if (HasExited()) return;
    // Wait without reaping, so a concurrent Kill still sees a live (or zombie) pid.
    siginfo_t info;
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    HasExited();
}

void ChildProcess::Kill() {
    std::lock_guard<std::mutex> lock(mutex);
    if (pid <= 0 || exit.exited) return;
    ::kill(-pid, SIGKILL);
}

ChildExit ChildProcess::Exit() {
    std::lock_guard<std::mutex> lock(mutex);
    return exit;
}

}  // namespace platform
