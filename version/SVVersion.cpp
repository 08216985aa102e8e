#include "version/SVVersion.h"

#include <tuple>

SVVersion::SVVersion() {
    // Deliberately the base Load, also while a derived version object is being built.
    SVVersion::Load();
}

SVVersion::SVVersion(uint16_t major, uint16_t minor, uint16_t release, uint16_t build)
    : major(major), minor(minor), release(release), build(build) {}

void SVVersion::Load() {
    major = VIDORRA_VERSION_MAJOR;
    minor = VIDORRA_VERSION_MINOR;
    release = VIDORRA_VERSION_RELEASE;
    build = VIDORRA_VERSION_BUILD;
}

bool SVVersion::IsOlderThan(const SVVersion& other) const {
    return std::tie(major, minor, release, build) <
           std::tie(other.major, other.minor, other.release, other.build);
}
