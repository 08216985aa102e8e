#pragma once
#include <cstdint>
#include <vector>

// One drive letter during a scan: the SCSI address of the drive behind it.
struct _SCSI_ADDRESS_EXT {
    uint32_t Length = 0;
    uint8_t PortNumber = 0;
    uint8_t PathId = 0;
    uint8_t TargetId = 0;
    uint8_t Lun = 0;
    bool isCdRom = false;
    bool hasAddress = false;
};

using DriveTable = std::vector<_SCSI_ADDRESS_EXT>;

// Exactly 26 records, index 0 for drive A (/dev/sr0) to 25 for drive Z (/dev/sr25).
DriveTable BuildDriveTable();
