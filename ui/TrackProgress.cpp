#include "ui/TrackProgress.h"

#include <cstdlib>

bool ParseTrackProgress(const std::string& line, int64_t& writtenMegabytes, int64_t& totalMegabytes) {
    const size_t track = line.find("Track");
    if (track == std::string::npos) return false;
    const size_t colon = line.find(':', track);
    const size_t of = colon == std::string::npos ? colon : line.find("of", colon);
    const size_t mb = of == std::string::npos ? of : line.find("MB", of);
    if (mb == std::string::npos) return false;
    writtenMegabytes = std::atoll(line.substr(colon + 1, of - colon - 1).c_str());
    totalMegabytes = std::atoll(line.substr(of + 2, mb - of - 2).c_str());
    return true;
}
