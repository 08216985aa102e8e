#pragma once
#include <string>
#include <vector>

// What lsdvd reads from a DVD-Video folder or image: the checks a player would make.
struct DvdLayout {
    bool readable = false;
    std::string discTitle;
    int titles = 0;
    std::string format;  // of the first title: "PAL" or "NTSC"
    std::string aspect;  // of the first title: "4/3" or "16/9"
    std::vector<double> chapterSeconds;  // of the first title
    std::string output;  // everything lsdvd printed, for failure messages
};

DvdLayout ReadDvd(const std::string& path);
