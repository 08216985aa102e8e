#pragma once
#include <cstdint>

// A four-part version number. Load() fills it with this program's own version, which
// the build compiles in.
class SVVersion {
public:
    SVVersion();
    SVVersion(uint16_t major, uint16_t minor, uint16_t release, uint16_t build);
    virtual ~SVVersion() = default;

    virtual void Load();
    bool IsOlderThan(const SVVersion& other) const;

    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t release = 0;
    uint16_t build = 0;
};
