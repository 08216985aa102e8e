#include "burning/DriveTable.h"

#include "platform/OpticalDrives.h"

DriveTable BuildDriveTable() {
    DriveTable table;
    for (const platform::OpticalDrive& drive : platform::OpticalDriveTable()) {
        _SCSI_ADDRESS_EXT record;
        record.isCdRom = drive.isCdRom;
        record.hasAddress = drive.hasAddress;
        if (drive.hasAddress) {
            record.Length = 8;
            record.PortNumber = static_cast<uint8_t>(drive.host);
            record.PathId = static_cast<uint8_t>(drive.channel);
            record.TargetId = static_cast<uint8_t>(drive.id);
            record.Lun = static_cast<uint8_t>(drive.lun);
        }
        table.push_back(record);
    }
    return table;
}
