#pragma once
#include <cstdint>
#include <string>

namespace platform {

// Reads a number the way a stream extraction of an integer does: leading white space
// skipped, an optional sign and the digits up to the first other character; 0 without a
// number. A value beyond 64 bits stays at the end of the range.
int64_t ExtractInteger(const std::string& text);

// The value kept within [low, high].
int64_t ClampInteger(int64_t value, int64_t low, int64_t high);

}  // namespace platform
