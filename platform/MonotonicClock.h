#pragma once
#include <cstdint>

namespace platform {

// A monotonic tick counter and its rate in ticks per second.
int64_t MonotonicTicks();
int64_t MonotonicFrequency();

}  // namespace platform
