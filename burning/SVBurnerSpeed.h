#pragma once
#include <cstdint>

// One DVD write speed a drive offers: the n of "nx".
struct SVBurnerSpeed {
    int32_t factor = 0;
    bool operator==(const SVBurnerSpeed& other) const { return factor == other.factor; }
};
