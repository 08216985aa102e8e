#pragma once
#include <cstddef>

namespace platform {

// Writes every byte to fd, going on after short writes and interruptions; false when the
// other side has gone or the write failed (errno tells why).
bool WriteAll(int fd, const char* data, size_t length);

}  // namespace platform
