#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "authoring/SVDVDAuthorMovie.h"

// The encoder parameters of a compilation: TV standard and screen format, one shared video
// rate from the total length and the disc budget, each movie's bands, and its command line.
// The arithmetic is single precision where the results depend on it (bands, fill).
namespace encoding {

constexpr int64_t kAudioRate = 327680;        // 320 x 1024 bit/s
constexpr int64_t kVideoRateCeiling = 8704000;  // 8500 x 1024 bit/s
// Below this a compilation is too long for one disc: no encoder is started with it.
constexpr int64_t kMinimumVideoRate = 1024;

uint8_t ResolveVideoFormat(uint8_t videoFormat, const std::vector<SVDVDAuthorMovie>& movies);
uint8_t ResolveScreenFormat(uint8_t screenFormat, const std::vector<SVDVDAuthorMovie>& movies);

float TotalDuration(const std::vector<SVDVDAuthorMovie>& movies);
float FillPercentage(float totalSeconds);
// Video bits per second shared by every movie; 0 or below when the total is far too long.
int64_t VideoRate(float totalSeconds);
std::string RateText(int64_t videoRate);

struct Bands {
    bool topAndBottom = true;
    int band = 0;
};
Bands BandsFor(const SVDVDAuthorMovie& movie, int frameHeight, float outputAspect);
std::string SizeText(const Bands& bands, int frameHeight, const std::string& aspectText);
std::string ScalerText(uint8_t quality);

struct Frame {
    std::string target;      // "-target pal-dvd" or "-target ntsc-dvd"
    int height = 480;
    std::string aspectText;  // "4:3" or "16:9"
    float aspect = 16.0f / 9.0f;
};
Frame FrameFor(uint8_t videoFormat, uint8_t screenFormat);

std::wstring EncoderArguments(const SVDVDAuthorMovie& movie, const Frame& frame, const std::string& rateText,
                              uint8_t quality, const std::string& pipeName);
std::wstring EncoderCommandLine(const std::wstring& toolFolder, const std::wstring& arguments);

}  // namespace encoding
