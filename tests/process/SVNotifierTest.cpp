#include <gtest/gtest.h>

#include "process/SVNotifier.h"

namespace {

using Kind = DriveEvent::Kind;
using Props = std::map<std::string, std::string>;

TEST(SVNotifier, TranslatesDeviceEventsToDriveLetters) {
    const struct {
        const char* action;
        const char* node;
        Props properties;
        Kind kind;
        char letter;
    } cases[] = {
        {"change", "/dev/sr0", {{"DISK_MEDIA_CHANGE", "1"}, {"ID_CDROM_MEDIA", "1"}}, Kind::arrived, 'A'},
        {"change", "/dev/sr4", {{"DISK_MEDIA_CHANGE", "1"}}, Kind::removed, 'E'},
        {"change", "/dev/sr1", {{"DISK_EJECT_REQUEST", "1"}, {"ID_CDROM_MEDIA", "1"}}, Kind::removed, 'B'},
        {"change", "/dev/sr0", {{"ID_CDROM_MEDIA", "1"}}, Kind::none, 0},
        {"add", "/dev/sr25", {}, Kind::arrived, 'Z'},
        {"remove", "/dev/sr2", {}, Kind::removed, 'C'},
        {"add", "/dev/sr26", {}, Kind::none, 0},
        {"add", "/dev/sda", {}, Kind::none, 0},
        {"add", "/dev/sr", {}, Kind::none, 0},
        {"add", "/dev/sr1p", {}, Kind::none, 0},
        {"bind", "/dev/sr0", {}, Kind::none, 0},
        {"add", "", {}, Kind::none, 0},
    };
    for (const auto& c : cases) {
        const DriveEvent event = TranslateDeviceEvent(c.action, c.node, c.properties);
        EXPECT_EQ(event.kind, c.kind) << c.action << " " << c.node;
        EXPECT_EQ(event.letter, c.letter) << c.action << " " << c.node;
    }
}

TEST(SVNotifier, StartingTwiceWatchesOnce) {
    SVNotifier notifier;
    notifier.Start();
    const int fd = notifier.Fd();
    notifier.Start();
    EXPECT_EQ(notifier.Fd(), fd);
    notifier.Dispatch();  // nothing waiting: returns at once
}

}  // namespace
