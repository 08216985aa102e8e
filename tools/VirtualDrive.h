#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/RecorderContract.h"

// A drive made of a small key=value file and an image file: the folder named by
// VIDORRA_VIRTUAL_DRIVES holds one "*.ini" per drive. The recorder keeps the medium's
// state in that file, so a write or a blank changes what the next query sees.
namespace tools {

struct VirtualDrive {
    std::string file;
    DriveIdentity identity;
    std::string media;  // as written; "none" or empty for no medium
    MediumState medium;
    std::vector<int> speeds;
    std::string image;
    std::vector<std::string> lines;  // the file as read, so a save keeps the rest of it
};

constexpr const char* kVirtualDrivesVariable = "VIDORRA_VIRTUAL_DRIVES";

// The drive described by text; false (with the reason) when a needed key is missing or wrong.
bool ParseVirtualDrive(const std::string& text, VirtualDrive& drive, std::string& error);
// The drives of the folder in file name order; broken files are skipped with a line in problems.
std::vector<VirtualDrive> LoadVirtualDrives(const std::string& folder, std::vector<std::string>& problems);
// The folder of the environment variable, or "" when it is not set.
std::string VirtualDrivesFolder();
// Writes the drive's status back into its file, atomically.
bool SaveMediumStatus(VirtualDrive& drive, const std::string& status);

}  // namespace tools
