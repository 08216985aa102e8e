#pragma once
#include <cstdint>
#include <cstring>
#include <string>

// Plain functions without a context: the application object fills them with functions
// that post window messages. A null callback is skipped.
using ValueCallback = void (*)(int32_t value);
using TextCallback = void (*)(std::wstring text);
using FinishedCallback = void (*)(int32_t flag, std::wstring text);
using DriveCallback = void (*)(char letter);

// Progress in seconds travels through a ValueCallback as the bits of a 32-bit float.
inline int32_t FloatBits(float value) {
    int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
inline float FloatFromBits(int32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
