#include <gtest/gtest.h>

#include "platform/OpticalDrives.h"

namespace {

TEST(OpticalDrives, AddressFromTheSysfsLink) {
    const auto drive = platform::ParseScsiDeviceLink("../../devices/pci0000:00/0000:00:1f.2/ata2/host1/target1:0:0/1:0:0:0");
    ASSERT_TRUE(drive);
    EXPECT_EQ(platform::RecorderAddressOf(*drive), "1,0,0");
    const auto usb = platform::ParseScsiDeviceLink("../../devices/usb1/1-1/host6/target6:0:0/6:2:3:1");
    ASSERT_TRUE(usb);
    EXPECT_EQ(usb->channel, 2);
    EXPECT_EQ(platform::RecorderAddressOf(*usb), "6,3,1") << "the channel takes no part";
    for (const char* wrong : {"", "../../devices/usb1", "1:0:0", "1:0:0:0x", "a:b:c:d"}) {
        EXPECT_FALSE(platform::ParseScsiDeviceLink(wrong)) << wrong;
    }
}

TEST(OpticalDrives, TableHasARecordPerLetter) {
    const auto table = platform::OpticalDriveTable();
    ASSERT_EQ(table.size(), 26u);
    EXPECT_EQ(table[0].path, "/dev/sr0");
    EXPECT_EQ(table[25].path, "/dev/sr25");
    // A record without a drive claims nothing.
    for (const auto& drive : table) {
        if (!drive.isCdRom) {
            EXPECT_FALSE(drive.hasAddress) << drive.path;
        }
    }
}

}  // namespace
