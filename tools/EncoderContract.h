#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

// The encoder tool's contract, as pure functions: which command lines it accepts, what it
// asks of the real ffmpeg, and how it rewrites the real tool's lines.
namespace tools {

struct Conversion {
    std::string input;
    bool pal = true;
    long videoKilo = 0;  // video rate in units of 1024 bit/s
    std::string audioRate;
    std::string scaler;
    int width = 0, height = 0;
    int padTop = 0, padBottom = 0, padLeft = 0, padRight = 0;
    std::string aspect;
    std::string output;
    int FrameHeight() const { return pal ? 576 : 480; }
};

// The conversion arguments (after the program name), exactly in their order; an error text
// when they do not match.
std::optional<Conversion> ParseConversion(const std::vector<std::string>& args, std::string& error);
std::vector<std::string> RealConversionCommand(const Conversion& conversion, const std::string& realFfmpeg);

// Rewrites "time=HH:MM:SS.cc" as "time=SECONDS" (negative times as 0).
std::string WithTimeInSeconds(const std::string& line);

// The information block for ffprobe's key=value output of the first video stream and the
// container; empty when there is no video stream.
std::vector<std::string> InfoBlock(const std::map<std::string, std::string>& probe);
// Keeps the "Input", "  Duration" and "Stream" lines of `ffmpeg -i`, streams with four blanks.
std::vector<std::string> StandardInfoLines(const std::string& ffmpegOutput);

std::map<std::string, std::string> ParseKeyValues(const std::string& text);

}  // namespace tools
