#include "burning/SVBurner.h"

SVBurner::SVBurner(const SVBurner& other)
    : SVCommandLineProcess(other.toolFolder),
      address(other.address),
      displayName(other.displayName),
      driveLetter(other.driveLetter),
      speeds(other.speeds),
      speed(other.speed) {}

SVBurner& SVBurner::operator=(const SVBurner& other) {
    if (this == &other) return *this;
    toolFolder = other.toolFolder;
    address = other.address;
    displayName = other.displayName;
    driveLetter = other.driveLetter;
    speeds = other.speeds;
    speed = other.speed;
    finishedHook = other.finishedHook;
    lineHook = other.lineHook;
    return *this;
}
