#pragma once
#include <functional>
#include <string>
#include <vector>

// What the four tool programs share: finding the real Debian tool (never one of ours),
// running it in our own process group, and passing its output on line by line.
namespace tools {

// Absolute path of the real program `name` on PATH, skipping the folder of this tool
// (so a tool never runs itself); empty when there is none.
std::string FindRealTool(const std::string& name);

struct RunResult {
    bool started = false;
    int status = -1;  // exit code, or 128 + signal
    std::string output;
};

// Runs argv with standard output and error merged. Each line (CR or LF ended) goes to
// onLine when given; otherwise the output is collected into RunResult::output.
// Standard input reads inputFd when it is given (handed to the child: closed here once the
// child runs, so the child alone holds it), else nothing.
RunResult RunTool(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment,
                  const std::function<void(const std::string&)>& onLine, int inputFd = -1);

// Prints one line with a line feed in one write and flushes, so the reader sees it at once
// and lines printed by two threads never mix.
void PrintLine(const std::string& line);
int Fail(const std::string& message, int code = 2);

}  // namespace tools
