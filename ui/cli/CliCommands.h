#pragma once
#include <atomic>
#include <vector>

#include "app/Vidorra.h"
#include "burning/SVBurnerSpeed.h"
#include "ui/cli/CliOptions.h"

// The four jobs of vidorra-cli over the application object. Each returns the exit status.
namespace cli {

constexpr int kOk = 0;
constexpr int kJobFailed = 1;
constexpr int kUsage = 2;
constexpr int kDiscProblem = 3;
constexpr int kBadFile = 4;
constexpr int kFolderExists = 5;
constexpr int kCancelled = 130;

struct Context {
    Vidorra& vidorra;
    const CliOptions& options;
    bool terminal = false;
    // Set by Ctrl-C; the running compilation is then cancelled.
    const std::atomic<bool>& interrupted;
};

int Compile(Context& context);
int Burn(Context& context);
int Info(Context& context);
int Drives(Context& context);

// The speed a burner is told to use: the offer the speed list would select for the
// setting (the last offer not above it, duplicates skipped), or the first ("Max").
int32_t ChooseSpeed(const std::vector<SVBurnerSpeed>& speeds, int32_t setting);

}  // namespace cli
