#include "authoring/EncodingParameters.h"

#include <bit>
#include <cmath>

#include "platform/CommandLine.h"
#include "platform/TextCodec.h"
#include "settings/PathHelpers.h"

namespace encoding {
namespace {

constexpr double kDiscMegabytes = 4474.88;  // 4.37 x 1024 MiB
constexpr float kBaseFill = 92.0f;
constexpr float kLongCompilation = 7200.0f;
const float kFillSlope = std::bit_cast<float>(0xBA01A559u);  // about -0.00049456 points per second

}  // namespace

uint8_t ResolveVideoFormat(uint8_t videoFormat, const std::vector<SVDVDAuthorMovie>& movies) {
    if (videoFormat != 0 || movies.empty()) return videoFormat;
    return std::fabs(movies.front().frameRateNum - 25.0) < 0.1 ? 1 : 2;
}

uint8_t ResolveScreenFormat(uint8_t screenFormat, const std::vector<SVDVDAuthorMovie>& movies) {
    if (screenFormat != 0 || movies.empty()) return screenFormat;
    const SVDVDAuthorMovie& first = movies.front();
    float aspect = first.aspectRatio;
    if (!(aspect > 1.0f)) aspect = static_cast<float>(first.width) / static_cast<float>(first.height);
    const float toWide = std::fabs(aspect - 16.0f / 9.0f);
    const float toNarrow = std::fabs(aspect - 4.0f / 3.0f);
    return toWide < toNarrow ? 2 : 1;
}

float TotalDuration(const std::vector<SVDVDAuthorMovie>& movies) {
    float total = 0;
    for (const SVDVDAuthorMovie& movie : movies) total = static_cast<float>(total + movie.duration);
    return total;
}

float FillPercentage(float totalSeconds) {
    if (!(totalSeconds > kLongCompilation)) return kBaseFill;
    const float offset = static_cast<float>(kBaseFill - kLongCompilation * kFillSlope);
    return static_cast<float>(totalSeconds * kFillSlope + offset);
}

int64_t VideoRate(float totalSeconds) {
    // An empty compilation budgets nothing; any later movie uses the best rate.
    if (!(totalSeconds > 0)) return kVideoRateCeiling;
    const auto budget = static_cast<int64_t>(kDiscMegabytes * FillPercentage(totalSeconds) * 0.01 * 8);
    const int64_t bits = budget * 1024 * 1024;
    const auto rate = static_cast<int64_t>(static_cast<double>(bits) / totalSeconds);
    const int64_t video = rate - kAudioRate;
    return video >= kVideoRateCeiling ? kVideoRateCeiling : video;
}

std::string RateText(int64_t videoRate) { return std::to_string(videoRate / 1024) + "k"; }

Bands BandsFor(const SVDVDAuthorMovie& movie, int frameHeight, float outputAspect) {
    Bands bands;
    bands.topAndBottom = movie.aspectRatio >= outputAspect;
    if (movie.width == 0 || movie.height == 0) return bands;
    const float w = static_cast<float>(movie.width), h = static_cast<float>(movie.height);
    float span, picture;
    if (bands.topAndBottom) {
        span = static_cast<float>(frameHeight);
        picture = span * outputAspect * h / w;
    } else {
        span = 720.0f;
        picture = w * (720.0f / outputAspect) / h;
    }
    int band = static_cast<int>((span - picture) * 0.5f);
    band -= band % 2;
    bands.band = band > 0 ? band : 0;
    return bands;
}

std::string SizeText(const Bands& bands, int frameHeight, const std::string& aspectText) {
    const std::string b = std::to_string(bands.band);
    std::string text = bands.topAndBottom
                           ? " -s 720x" + std::to_string(frameHeight - 2 * bands.band) + " -padtop " + b + " -padbottom " + b
                           : " -s " + std::to_string(720 - 2 * bands.band) + "x" + std::to_string(frameHeight) + " -padleft " +
                                 b + " -padright " + b;
    return text + " -aspect " + aspectText + " ";
}

std::string ScalerText(uint8_t quality) {
    if (quality == 1) return " -sws_flags bicublin";
    if (quality == 2) return " -sws_flags bilinear";
    return " -sws_flags bicubic";
}

Frame FrameFor(uint8_t videoFormat, uint8_t screenFormat) {
    Frame frame;
    frame.target = videoFormat == 1 ? "-target pal-dvd" : "-target ntsc-dvd";
    frame.height = videoFormat == 1 ? 576 : 480;
    frame.aspectText = screenFormat == 1 ? "4:3" : "16:9";
    frame.aspect = screenFormat == 1 ? 4.0f / 3.0f : 16.0f / 9.0f;
    return frame;
}

std::wstring EncoderArguments(const SVDVDAuthorMovie& movie, const Frame& frame, const std::string& rateText,
                              uint8_t quality, const std::string& pipeName) {
    const Bands bands = BandsFor(movie, frame.height, frame.aspect);
    // The path is quoted so that a '"' in a file name cannot end it early.
    return L"-i " + platform::QuoteArgument(movie.fileName) + L" " +
           platform::Widen(frame.target + " " + " -b " + rateText + " -ab 320k" + ScalerText(quality) +
                           SizeText(bands, frame.height, frame.aspectText) + " " + pipeName);
}

std::wstring EncoderCommandLine(const std::wstring& toolFolder, const std::wstring& arguments) {
    return platform::QuoteArgumentIfNeeded(WithTrailingBackslash(toolFolder) + L"ffmpeg.exe") + L" " + arguments;
}

}  // namespace encoding
