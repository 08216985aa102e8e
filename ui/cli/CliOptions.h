#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/VidorraSetting.h"

// The command line of vidorra-cli: a command, its files, and options that override the
// user's settings for this run only (nothing is saved).
struct CliOptions {
    std::string command;  // compile, burn, info, drives, help
    std::vector<std::wstring> files;
    std::optional<uint8_t> videoFormat, screenFormat, quality;
    std::optional<std::wstring> workingFolder;
    std::optional<bool> burn, eject, removeFiles;
    std::optional<int32_t> burnerIndex;
    std::optional<int32_t> speed;  // 0 for "max": the first speed the burner offers
    std::optional<std::wstring> label;
    std::optional<std::wstring> settingsFile;
    bool replace = false;
    bool erase = false;
};

// nullopt (with a message) when the command line is wrong.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args, std::string& error);
void ApplyOptions(const CliOptions& options, VidorraSetting& settings);
std::string CliUsage();

// The ISO 9660 volume label holds at most 32 bytes.
constexpr size_t kMaxLabelBytes = 32;
