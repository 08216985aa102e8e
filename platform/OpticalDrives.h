#pragma once
#include <optional>
#include <string>
#include <vector>

// The optical drives of this machine: record i is /dev/sr<i> (i = 0..25), drive letter
// 'A' + i. The SCSI address is host, channel, target id and lun.
namespace platform {

struct OpticalDrive {
    std::string path;
    bool isCdRom = false;     // the device exists and is an optical drive
    bool hasAddress = false;  // its SCSI address could be read
    int host = 0;
    int channel = 0;
    int id = 0;
    int lun = 0;
};

constexpr int kOpticalDriveCount = 26;

OpticalDrive QueryOpticalDrive(int index);
std::vector<OpticalDrive> OpticalDriveTable();

// "H:C:T:L" at the end of a sysfs device link ("../../devices/.../1:0:0:0").
std::optional<OpticalDrive> ParseScsiDeviceLink(const std::string& link);
// The address as the recorder prints it: host, target id and lun ("1,0,0").
std::string RecorderAddressOf(const OpticalDrive& drive);

}  // namespace platform
