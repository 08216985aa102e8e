#include "ui/cli/CliOptions.h"

#include <filesystem>
#include <map>

#include "platform/TextCodec.h"

namespace {

bool Choice(const std::map<std::string, uint8_t>& choices, const std::string& value, std::optional<uint8_t>& out) {
    const auto found = choices.find(value);
    if (found == choices.end()) return false;
    out = found->second;
    return true;
}

bool Number(const std::string& value, int32_t& out) {
    if (value.empty() || value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos) return false;
    out = std::stoi(value);
    return true;
}

}  // namespace

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args, std::string& error) {
    CliOptions options;
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        options.command = "help";
        return options;
    }
    options.command = args[0];
    if (options.command != "compile" && options.command != "burn" && options.command != "info" && options.command != "drives") {
        error = "unknown command '" + options.command + "'";
        return std::nullopt;
    }
    const std::map<std::string, uint8_t> tv = {{"auto", 0}, {"pal", 1}, {"ntsc", 2}};
    const std::map<std::string, uint8_t> format = {{"auto", 0}, {"4:3", 1}, {"16:9", 2}};
    const std::map<std::string, uint8_t> quality = {{"high", 0}, {"standard", 1}, {"low", 2}};
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--tv" || arg == "--format" || arg == "--quality" || arg == "--folder" ||
                                arg == "--burner" || arg == "--speed" || arg == "--label" || arg == "--settings";
        if (takesValue && i + 1 >= args.size()) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        const std::string value = takesValue ? args[++i] : "";
        int32_t number = 0;
        bool ok = true;
        if (arg == "--tv") {
            ok = Choice(tv, value, options.videoFormat);
        } else if (arg == "--format") {
            ok = Choice(format, value, options.screenFormat);
        } else if (arg == "--quality") {
            ok = Choice(quality, value, options.quality);
        } else if (arg == "--folder") {
            std::error_code ignored;
            options.workingFolder = platform::Widen(std::filesystem::absolute(value, ignored).lexically_normal().string());
        } else if (arg == "--burner") {
            ok = Number(value, number);
            options.burnerIndex = number;
        } else if (arg == "--speed") {
            ok = value == "max" || Number(value, number);
            options.speed = value == "max" ? 0 : number;
        } else if (arg == "--label") {
            // The image maker refuses a volume label longer than that, after the disc
            // check and the whole compilation: say so now.
            ok = value.size() <= kMaxLabelBytes;
            options.label = platform::Widen(value);
        } else if (arg == "--settings") {
            options.settingsFile = platform::Widen(value);
        } else if (arg == "--burn" || arg == "--no-burn") {
            options.burn = arg == "--burn";
        } else if (arg == "--eject" || arg == "--no-eject") {
            options.eject = arg == "--eject";
        } else if (arg == "--remove" || arg == "--keep") {
            options.removeFiles = arg == "--remove";
        } else if (arg == "--replace") {
            options.replace = true;
        } else if (arg == "--erase") {
            options.erase = true;
        } else if (arg.rfind("--", 0) == 0) {
            error = "unknown option " + arg;
            return std::nullopt;
        } else {
            // The tools run in their own folder: a relative path would name another file.
            std::error_code ignored;
            options.files.push_back(platform::Widen(std::filesystem::absolute(arg, ignored).lexically_normal().string()));
        }
        if (!ok) {
            error = "bad value for " + arg + ": '" + value + "'" +
                    (arg == "--label" ? " (at most " + std::to_string(kMaxLabelBytes) + " bytes)" : "");
            return std::nullopt;
        }
    }
    const bool needsFiles = options.command == "compile" || options.command == "info";
    if (needsFiles && options.files.empty()) {
        error = options.command + " needs at least one file";
        return std::nullopt;
    }
    if (options.command == "burn" && options.files.size() != 1) {
        error = "burn needs exactly one folder";
        return std::nullopt;
    }
    return options;
}

void ApplyOptions(const CliOptions& options, VidorraSetting& settings) {
    if (options.videoFormat) settings.videoFormat = *options.videoFormat;
    if (options.screenFormat) settings.screenFormat = *options.screenFormat;
    if (options.quality) settings.quality = *options.quality;
    if (options.workingFolder) settings.workingFolder = *options.workingFolder;
    if (options.burn) settings.burnEnabled = *options.burn;
    if (options.eject) settings.eject = *options.eject;
    if (options.removeFiles) settings.removeFiles = *options.removeFiles;
    if (options.burnerIndex) settings.burnerIndex = *options.burnerIndex;
    if (options.speed) settings.burnerSpeed = *options.speed;
}

std::string CliUsage() {
    return R"(vidorra-cli: turn video files into a DVD-Video disc, without a desktop.

Usage:
  vidorra-cli compile [options] FILE...   encode FILEs into a DVD-Video folder, then burn it
  vidorra-cli burn FOLDER [options]       burn a DVD-Video folder made earlier
  vidorra-cli info FILE...                what Vidorra reads from each file
  vidorra-cli drives                      the burners, their speeds and the disc in each
  vidorra-cli --help                      this text

Options (defaults come from your settings file; nothing is saved):
  --tv auto|pal|ntsc          TV standard (auto: the first video decides)
  --format auto|4:3|16:9      screen format (auto: the first video decides)
  --quality high|standard|low scaler quality
  --folder DIR                the folder that receives VIDEO_TS (default: a folder named
                              after the first video in the settings' working folder)
  --replace                   delete an existing working folder first (never done without it)
  --burn | --no-burn          burn after compiling, or compile only
  --burner N                  burner number as `vidorra-cli drives` lists it (from 0)
  --speed N|max               write speed factor; max: the fastest the burner offers
  --label TEXT                disc label (at most 32 bytes)
  --eject | --no-eject        open the tray when the burn is done
  --remove | --keep           delete the working folder after a successful burn
  --erase                     agree to erase a rewritable disc that holds data
  --settings FILE             another settings file

Progress shows as a bar with the remaining time on a terminal, as plain lines otherwise.

Exit status:
  0  the job succeeded
  1  the compilation or the burn failed
  2  the command line is wrong
  3  the disc cannot be used (no disc, not a DVD, holds data, too small) or no burner
  4  a file is not a video Vidorra can read
  5  the working folder exists (use --replace)
  130 cancelled (Ctrl-C)
)";
}
