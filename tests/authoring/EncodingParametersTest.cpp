#include <gtest/gtest.h>

#include "authoring/EncodingParameters.h"
#include "platform/CommandLine.h"
#include "platform/TextCodec.h"

namespace {

using namespace encoding;

SVDVDAuthorMovie Movie(int width, int height, float aspect, double duration = 3600, int rate = 25,
                       const std::wstring& name = L"/v/m.avi") {
    SVDVDAuthorMovie m;
    m.fileName = name;
    m.width = width;
    m.height = height;
    m.aspectRatio = aspect;
    m.duration = duration;
    m.frameRateNum = rate;
    m.frameRateDen = 1;
    return m;
}

TEST(EncodingParameters, SharedVideoRateFollowsTheTotalLength) {
    const struct {
        float seconds;
        std::string rate;
    } cases[] = {{3600, "8500k"}, {5400, "5925k"}, {7200, "4364k"}, {9000, "3390k"}, {10800, "2742k"}, {14400, "1931k"}};
    for (const auto& c : cases) EXPECT_EQ(RateText(VideoRate(c.seconds)), c.rate) << c.seconds;
}

TEST(EncodingParameters, FillFallsOnlyAfterTwoHours) {
    EXPECT_EQ(FillPercentage(7200), 92.0f);
    EXPECT_LT(FillPercentage(7201), 92.0f);
    EXPECT_NEAR(FillPercentage(7201), 92.0f - 0.000494560f * 1, 1e-4);
    EXPECT_NEAR(FillPercentage(9000), 91.1098f, 1e-4);
    EXPECT_NEAR(FillPercentage(14400), 88.4392f, 1e-4);
    EXPECT_GT(VideoRate(7200), VideoRate(7201));
}

TEST(EncodingParameters, RateOfAFarTooLongCompilationIsRefusable) {
    EXPECT_GE(VideoRate(19 * 3600.0f), kMinimumVideoRate);
    EXPECT_LT(VideoRate(20 * 3600.0f), kMinimumVideoRate);
    EXPECT_LT(VideoRate(60 * 3600.0f), 0);
    EXPECT_EQ(VideoRate(0), kVideoRateCeiling);
}

TEST(EncodingParameters, BandsKeepThePictureUndistorted) {
    const struct {
        const char* name;
        int videoFormat, screenFormat;
        SVDVDAuthorMovie movie;
        std::string size;
    } cases[] = {
        {"HD into PAL 4:3", 1, 1, Movie(1280, 720, 1.777778f), " -s 720x432 -padtop 72 -padbottom 72 -aspect 4:3 "},
        {"HD into PAL 16:9", 1, 2, Movie(1280, 720, 1.777778f), " -s 720x576 -padtop 0 -padbottom 0 -aspect 16:9 "},
        {"4:3 into NTSC 16:9", 2, 2, Movie(640, 480, 4.0f / 3), " -s 540x480 -padleft 90 -padright 90 -aspect 16:9 "},
        {"PAL 1.25 into 4:3", 1, 1, Movie(720, 576, 1.25f), " -s 676x576 -padleft 22 -padright 22 -aspect 4:3 "},
        {"band 45 lowered to 44", 1, 1, Movie(700, 600, 7.0f / 6), " -s 632x576 -padleft 44 -padright 44 -aspect 4:3 "},
        {"scope into NTSC 16:9", 2, 2, Movie(1920, 816, 2.35f), " -s 720x364 -padtop 58 -padbottom 58 -aspect 16:9 "},
        {"anamorphic gives no negative band", 1, 1, Movie(720, 576, 1.777778f), " -s 720x576 -padtop 0 -padbottom 0 -aspect 4:3 "},
        {"exact fit", 1, 1, Movie(768, 576, 4.0f / 3), " -s 720x576 -padtop 0 -padbottom 0 -aspect 4:3 "},
        {"nothing known", 1, 1, Movie(0, 0, 1.0f), " -s 720x576 -padleft 0 -padright 0 -aspect 4:3 "},
    };
    for (const auto& c : cases) {
        const Frame frame = FrameFor(static_cast<uint8_t>(c.videoFormat), static_cast<uint8_t>(c.screenFormat));
        EXPECT_EQ(SizeText(BandsFor(c.movie, frame.height, frame.aspect), frame.height, frame.aspectText), c.size) << c.name;
    }
}

TEST(EncodingParameters, AutomaticChoicesFollowTheFirstMovie) {
    EXPECT_EQ(ResolveVideoFormat(0, {Movie(720, 576, 1.25f, 1, 25), Movie(720, 480, 1, 1, 30000)}), 1);
    EXPECT_EQ(ResolveVideoFormat(0, {Movie(720, 480, 1, 1, 30000)}), 2);
    EXPECT_EQ(ResolveVideoFormat(0, {Movie(720, 480, 1, 1, 24)}), 2);
    EXPECT_EQ(ResolveVideoFormat(0, {}), 0);
    EXPECT_EQ(ResolveVideoFormat(2, {Movie(720, 576, 1, 1, 25)}), 2);

    EXPECT_EQ(ResolveScreenFormat(0, {Movie(1280, 720, 1.777778f)}), 2);
    EXPECT_EQ(ResolveScreenFormat(0, {Movie(720, 576, 1.25f)}), 1);
    EXPECT_EQ(ResolveScreenFormat(0, {Movie(1280, 720, 1.0f)}), 2) << "aspect 1 falls back to width / height";
    EXPECT_EQ(ResolveScreenFormat(0, {Movie(0, 0, 1.0f)}), 1) << "not a number gives 4:3";
    EXPECT_EQ(ResolveScreenFormat(0, {Movie(0, 0, 1.56f)}), 2);
    EXPECT_EQ(ResolveScreenFormat(0, {Movie(0, 0, 1.55f)}), 1);
    EXPECT_EQ(ResolveScreenFormat(0, {}), 0);
    EXPECT_EQ(ResolveScreenFormat(1, {Movie(1280, 720, 1.777778f)}), 1);
    EXPECT_EQ(FrameFor(0, 0).target, "-target ntsc-dvd");
    EXPECT_EQ(FrameFor(0, 0).aspectText, "16:9");
}

TEST(EncodingParameters, CommandLinesAreExact) {
    const Frame pal = FrameFor(1, 1);
    const std::wstring a = EncoderArguments(Movie(1280, 720, 1.777778f, 3600, 25, L"/v/Holiday.avi"), pal,
                                            RateText(VideoRate(3600)), 0, "/run/p/abc");
    EXPECT_EQ(a, L"-i \"/v/Holiday.avi\" -target pal-dvd  -b 8500k -ab 320k -sws_flags bicubic -s 720x432 -padtop 72 "
                 L"-padbottom 72 -aspect 4:3  /run/p/abc");
    EXPECT_EQ(EncoderCommandLine(L"/opt/vidorra", a), L"/opt/vidorra/ffmpeg.exe " + a);

    const std::wstring b = EncoderArguments(Movie(640, 480, 4.0f / 3, 7200, 30000, L"/v/x.mpg"), FrameFor(2, 2),
                                            RateText(VideoRate(7200)), 1, "/p/q");
    EXPECT_EQ(b, L"-i \"/v/x.mpg\" -target ntsc-dvd  -b 4364k -ab 320k -sws_flags bicublin -s 540x480 -padleft 90 "
                 L"-padright 90 -aspect 16:9  /p/q");
    EXPECT_NE(EncoderArguments(Movie(1, 1, 1), pal, "1k", 2, "p").find(L" -sws_flags bilinear "), std::wstring::npos);
}

TEST(EncodingParameters, QuotesAndBlanksSurviveTheCommandLine) {
    const std::wstring name = L"/v/my \"best\" film.avi";
    const std::wstring line = EncoderCommandLine(L"/home/u/My Apps", EncoderArguments(Movie(720, 576, 1.25f, 60, 25, name),
                                                                                     FrameFor(1, 1), "8500k", 0, "/p/x"));
    const auto args = platform::SplitCommandLine(line);
    ASSERT_EQ(args.size(), 20u);
    EXPECT_EQ(args[0], L"/home/u/My Apps/ffmpeg.exe");
    EXPECT_EQ(args[2], name);
    EXPECT_EQ(args[19], L"/p/x");
}

TEST(EncodingParameters, TotalDurationAddsInSinglePrecision) {
    EXPECT_EQ(TotalDuration({}), 0.0f);
    EXPECT_EQ(TotalDuration({Movie(1, 1, 1, 5400.5), Movie(1, 1, 1, 1799.5)}), 7200.0f);
    EXPECT_EQ(TotalDuration({Movie(1, 1, 1, 0.1), Movie(1, 1, 1, 0.2)}), 0.1f + 0.2f);
}

}  // namespace
