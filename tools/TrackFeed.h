#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Copies the track from the recorder's input to the writer, counting, so that a write
// never goes past the medium and always honours -tsize.
namespace tools {

struct TrackFeedResult {
    int64_t bytes = 0;
    bool ok = true;
    std::string error;
};

// With tsizeBytes (>= 0) exactly that many bytes are passed on: less input is a premature
// end, more is refused. capacityBytes (>= 0) is never exceeded. progress gets the bytes
// passed on after every MiB and at the end.
TrackFeedResult FeedTrack(int input, int output, int64_t tsizeBytes, int64_t capacityBytes,
                          const std::function<void(int64_t)>& progress);

}  // namespace tools
