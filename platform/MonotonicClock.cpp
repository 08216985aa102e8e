#include "platform/MonotonicClock.h"

#include <chrono>

namespace platform {

int64_t MonotonicTicks() {
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

int64_t MonotonicFrequency() {
    using Period = std::chrono::steady_clock::period;
    return Period::den / Period::num;
}

}  // namespace platform
