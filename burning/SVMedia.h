#pragma once
#include <cstdint>
#include <string>

// What the recorder reported about the medium in a burner.
struct SVMedia {
    std::string mediaType;  // as printed after "Mounted media type:"; empty when none was reported
    // 1 when the recorder reported a media type, else 0: a disc with data is then told apart
    // from an empty drive, so a rewritable disc can reach the erase question.
    int32_t discPresent = 0;
    bool erasable = false;
    bool blank = false;
    int64_t physicalSize = 0;  // bytes
};
