#pragma once
#include <map>
#include <string>

#include "process/Callbacks.h"

struct udev;
struct udev_monitor;

// What one device event means for the drives: an arrival or a removal of drive letter
// 'A' + i for /dev/sr<i>, or nothing.
struct DriveEvent {
    enum class Kind { none, arrived, removed } kind = Kind::none;
    char letter = 0;
};

DriveEvent TranslateDeviceEvent(const std::string& action, const std::string& devnode,
                                const std::map<std::string, std::string>& properties);

// Tells the window when a disc or drive arrives or goes. It watches udev's block devices;
// the window watches Fd() in its own event loop (a socket notifier) and calls Dispatch()
// when it is readable, so both callbacks run on the window thread.
class SVNotifier {
public:
    SVNotifier() = default;
    virtual ~SVNotifier();
    SVNotifier(const SVNotifier&) = delete;
    SVNotifier& operator=(const SVNotifier&) = delete;

    // Starts watching; a second call after a successful start does nothing.
    void Start();
    // The descriptor that becomes readable when events wait; -1 when not watching.
    int Fd() const;
    // Reads every waiting event and calls the callbacks.
    void Dispatch();

    bool registered = false;
    DriveCallback onDriveArrived = nullptr;
    DriveCallback onDriveRemoved = nullptr;

private:
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
};
