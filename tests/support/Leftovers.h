#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

// What a finished job may have left behind: entries of the private pipe folder (FIFOs the
// program made and did not remove) and live child processes of this test program.
std::vector<std::string> LeftoverPipes();
std::vector<pid_t> ChildPids();
