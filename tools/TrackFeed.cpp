#include "tools/TrackFeed.h"

#include <unistd.h>

#include <cerrno>
#include <limits>
#include <vector>

#include "platform/FileIo.h"

namespace tools {

TrackFeedResult FeedTrack(int input, int output, int64_t tsizeBytes, int64_t capacityBytes,
                          const std::function<void(int64_t)>& progress) {
    TrackFeedResult result;
    int64_t limit = std::numeric_limits<int64_t>::max();
    if (tsizeBytes >= 0) limit = tsizeBytes;
    if (capacityBytes >= 0 && capacityBytes < limit) limit = capacityBytes;
    std::vector<char> buffer(1 << 16);
    int64_t reported = 0;
    for (;;) {
        const ssize_t n = ::read(input, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result.ok = false;
            result.error = "cannot read the track";
            break;
        }
        if (n == 0) {
            if (tsizeBytes >= 0 && result.bytes < tsizeBytes) {
                result.ok = false;
                result.error = "premature end of the track after " + std::to_string(result.bytes) + " of " +
                               std::to_string(tsizeBytes) + " bytes";
            }
            break;
        }
        const int64_t room = limit - result.bytes;
        const int64_t take = n < room ? n : room;
        if (take > 0 && !platform::WriteAll(output, buffer.data(), static_cast<size_t>(take))) {
            result.ok = false;
            result.error = "the writer stopped taking data after " + std::to_string(result.bytes) + " bytes";
            break;
        }
        result.bytes += take;
        if (take < n) {
            result.ok = false;
            result.error = limit == tsizeBytes ? "the track is longer than -tsize (" + std::to_string(tsizeBytes) + " bytes)"
                                               : "the track does not fit on the medium (" + std::to_string(capacityBytes) + " bytes)";
            break;
        }
        if ((result.bytes >> 20) != (reported >> 20) && progress) {
            reported = result.bytes;
            progress(result.bytes);
        }
    }
    if (progress) progress(result.bytes);
    return result;
}

}  // namespace tools
