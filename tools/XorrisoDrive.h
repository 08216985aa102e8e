#pragma once
#include <string>
#include <vector>

#include "platform/OpticalDrives.h"
#include "tools/RecorderContract.h"

// Real burners through libburn: the xorriso and xorrecord command lines the recorder runs for
// a device, and what their output means in the recorder's terms.
namespace tools {

// DVD write factors of the plain "Write speed  :" lines of -list_speeds, in their order
// (the L, H and 0 summary lines, and CD or BD speeds, are not offers of their own).
std::vector<int> DvdSpeedsFromXorriso(const std::vector<std::string>& lines);
// Type, status and size from the "Media current:", "Media status :" and "Media blocks :"
// lines of -toc; no medium when the drive reports none.
MediumState MediumFromXorriso(const std::vector<std::string>& lines);

std::vector<std::string> SpeedQueryCommand(const std::string& xorriso, const std::string& device);
std::vector<std::string> MediumQueryCommand(const std::string& xorriso, const std::string& device);
std::vector<std::string> EjectCommand(const std::string& xorriso, const std::string& device);
std::vector<std::string> FastBlankCommand(const std::string& xorrecord, const std::string& device);
// Writes standard input as one track; speed 0 lets the drive choose its fastest.
std::vector<std::string> WriteCommand(const std::string& xorrecord, const std::string& device, int speed,
                                      long long tsizeSectors);

// The real drives the recorder offers: optical drives with an address, named from sysfs.
struct RealDrive {
    platform::OpticalDrive device;
    DriveIdentity identity;
};
std::vector<RealDrive> RealDrives();

}  // namespace tools
