#pragma once
#include <cstdint>
#include <string>

// The recorder's "Track" lines: megabytes written and in total, between ":", "of" and "MB".
bool ParseTrackProgress(const std::string& line, int64_t& writtenMegabytes, int64_t& totalMegabytes);
