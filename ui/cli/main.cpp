// vidorra-cli: the headless front end over the application object.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "app/Vidorra.h"
#include "ui/cli/CliCommands.h"
#include "ui/cli/CliOptions.h"

namespace {

// Only a signal handler writes it.
std::atomic<bool> interrupted{false};

void OnInterrupt(int) { interrupted = true; }

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "vidorra-cli: %s\nTry vidorra-cli --help.\n", error.c_str());
        return cli::kUsage;
    }
    if (options->command == "help") {
        std::fputs(CliUsage().c_str(), stdout);
        return cli::kOk;
    }
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    cli::Context context{theVidorra, *options, ::isatty(STDOUT_FILENO) == 1, interrupted};
    if (options->command == "compile") return cli::Compile(context);
    if (options->command == "burn") return cli::Burn(context);
    if (options->command == "info") return cli::Info(context);
    return cli::Drives(context);
}
