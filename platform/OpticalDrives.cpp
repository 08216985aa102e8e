#include "platform/OpticalDrives.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace platform {
namespace {

// SCSI cd-rom block devices have major number 11.
constexpr unsigned kScsiCdRomMajor = 11;

bool AddressFromIoctl(const std::string& path, OpticalDrive& drive) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct sg_scsi_id id {};
    const bool ok = ::ioctl(fd, SG_GET_SCSI_ID, &id) == 0;
    ::close(fd);
    if (!ok) return false;
    drive.host = id.host_no;
    drive.channel = id.channel;
    drive.id = id.scsi_id;
    drive.lun = id.lun;
    return true;
}

bool AddressFromSysfs(int index, OpticalDrive& drive) {
    std::error_code error;
    const auto link = std::filesystem::read_symlink("/sys/block/sr" + std::to_string(index) + "/device", error);
    if (error) return false;
    const auto parsed = ParseScsiDeviceLink(link.string());
    if (!parsed) return false;
    drive.host = parsed->host;
    drive.channel = parsed->channel;
    drive.id = parsed->id;
    drive.lun = parsed->lun;
    return true;
}

}  // namespace

std::optional<OpticalDrive> ParseScsiDeviceLink(const std::string& link) {
    const std::string last = link.substr(link.find_last_of('/') + 1);
    OpticalDrive drive;
    char end = 0;
    if (std::sscanf(last.c_str(), "%d:%d:%d:%d%c", &drive.host, &drive.channel, &drive.id, &drive.lun, &end) != 4) {
        return std::nullopt;
    }
    drive.hasAddress = true;
    return drive;
}

std::string RecorderAddressOf(const OpticalDrive& drive) {
    return std::to_string(drive.host) + "," + std::to_string(drive.id) + "," + std::to_string(drive.lun);
}

OpticalDrive QueryOpticalDrive(int index) {
    OpticalDrive drive;
    drive.path = "/dev/sr" + std::to_string(index);
    struct stat info {};
    if (::stat(drive.path.c_str(), &info) != 0 || !S_ISBLK(info.st_mode)) return drive;
    drive.isCdRom = major(info.st_rdev) == kScsiCdRomMajor;
    if (!drive.isCdRom) return drive;
    // The ioctl needs read access to the device; sysfs tells the same without it.
    drive.hasAddress = AddressFromIoctl(drive.path, drive) || AddressFromSysfs(index, drive);
    return drive;
}

std::vector<OpticalDrive> OpticalDriveTable() {
    std::vector<OpticalDrive> table;
    for (int i = 0; i < kOpticalDriveCount; ++i) table.push_back(QueryOpticalDrive(i));
    return table;
}

}  // namespace platform
