#pragma once
#include <string>

// Short test clips made by the real ffmpeg from its lavfi sources.
struct ClipSpec {
    int width = 320;
    int height = 240;
    std::string rate = "25";
    double seconds = 2;
    std::string sar = "1";  // stored sample aspect ratio, e.g. "16/15"
    bool audio = true;
    std::string extension = "mp4";
};

// Makes the clip at path; false when ffmpeg failed.
bool MakeClip(const std::string& path, const ClipSpec& spec);
// Runs a shell command and returns what it printed (standard output and error).
std::string ShellOutput(const std::string& command);

// A small PAL DVD-Video folder (one title of the given length) made by the real ffmpeg
// and dvdauthor, for tests of what comes after authoring.
bool MakeDvdFolder(const std::string& folder, double seconds);
