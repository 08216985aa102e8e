#pragma once
#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// What a finished job may have left behind: entries of the private pipe folder (FIFOs the
// program made and did not remove) and live child processes of this test program.
std::vector<std::string> LeftoverPipes();
std::vector<pid_t> ChildPids();

// Polls condition until it holds or the timeout has passed; what is left of a job (a
// relay removing its FIFOs, a child being reaped) may take a moment after its report.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
