#include "process/SVNotifier.h"

#include <libudev.h>

namespace {

const std::string kDevicePrefix = "/dev/sr";

int DriveIndex(const std::string& devnode) {
    if (devnode.compare(0, kDevicePrefix.size(), kDevicePrefix) != 0) return -1;
    const std::string digits = devnode.substr(kDevicePrefix.size());
    if (digits.empty() || digits.size() > 2 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
    const int index = std::stoi(digits);
    return index < 26 ? index : -1;
}

bool PropertyIs(const std::map<std::string, std::string>& properties, const char* key, const char* value) {
    const auto it = properties.find(key);
    return it != properties.end() && it->second == value;
}

}  // namespace

DriveEvent TranslateDeviceEvent(const std::string& action, const std::string& devnode,
                                const std::map<std::string, std::string>& properties) {
    DriveEvent event;
    const int index = DriveIndex(devnode);
    if (index < 0) return event;
    event.letter = static_cast<char>('A' + index);
    if (action == "add") {
        event.kind = DriveEvent::Kind::arrived;
    } else if (action == "remove") {
        event.kind = DriveEvent::Kind::removed;
    } else if (action == "change" && PropertyIs(properties, "DISK_EJECT_REQUEST", "1")) {
        event.kind = DriveEvent::Kind::removed;
    } else if (action == "change" && PropertyIs(properties, "DISK_MEDIA_CHANGE", "1")) {
        event.kind = PropertyIs(properties, "ID_CDROM_MEDIA", "1") ? DriveEvent::Kind::arrived : DriveEvent::Kind::removed;
    }
    if (event.kind == DriveEvent::Kind::none) event.letter = 0;
    return event;
}

SVNotifier::~SVNotifier() {
    if (monitor) udev_monitor_unref(monitor);
    if (context) udev_unref(context);
}

void SVNotifier::Start() {
    if (registered) return;
    if (!context) context = udev_new();
    if (!context) return;
    if (!monitor) monitor = udev_monitor_new_from_netlink(context, "udev");
    if (!monitor) return;
    udev_monitor_filter_add_match_subsystem_devtype(monitor, "block", nullptr);
    registered = udev_monitor_enable_receiving(monitor) == 0;
}

int SVNotifier::Fd() const { return registered ? udev_monitor_get_fd(monitor) : -1; }

void SVNotifier::Dispatch() {
    if (!registered) return;
    while (udev_device* device = udev_monitor_receive_device(monitor)) {
        std::map<std::string, std::string> properties;
        for (udev_list_entry* entry = udev_device_get_properties_list_entry(device); entry;
             entry = udev_list_entry_get_next(entry)) {
            properties[udev_list_entry_get_name(entry)] = udev_list_entry_get_value(entry) ? udev_list_entry_get_value(entry) : "";
        }
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        const DriveEvent event = TranslateDeviceEvent(action ? action : "", node ? node : "", properties);
        udev_device_unref(device);
        if (event.kind == DriveEvent::Kind::arrived && onDriveArrived) onDriveArrived(event.letter);
        if (event.kind == DriveEvent::Kind::removed && onDriveRemoved) onDriveRemoved(event.letter);
    }
}
