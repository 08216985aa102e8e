#include <gtest/gtest.h>

#include <filesystem>

#include "authoring/SVDVDAuthorMovie.h"
#include "platform/TextCodec.h"
#include "tests/support/Clips.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace {

SVDVDAuthorMovie Parsed(const std::vector<std::string>& blocks) {
    SVDVDAuthorMovie movie;
    movie.readingProbe = true;
    for (const auto& block : blocks) {
        if (!movie.readingProbe) break;
        movie.SplitBlock(block.data(), block.size());
    }
    return movie;
}

std::vector<std::wstring> W(const std::vector<std::string>& lines) {
    std::vector<std::wstring> out;
    for (const auto& line : lines) out.push_back(platform::Widen(line));
    return out;
}

TEST(MovieProbeParser, ReadsTheInfoBlock) {
    const SVDVDAuthorMovie m = Parsed({
        "Input #0, avi, from 'a.avi':\r\n  Duration: 00:01:30.00\r\nDuration: banner\r\n    Stream #0:0: Video\r\n"
        "  Stream two blanks\r\n[sorvane info]videoWidth=720\r\n[sorvane info]videoHeight=576\r\n"
        "[sorvane info]videoAspectRatio=1.777778\r\n[sorvane info]videoDuration=5400.5\r\n"
        "[sorvane info]videoFrameRateNum=25\r\n[sorvane info]videoFrameRateDen=1\r\n[sorvane end info]\r\n"
        "[sorvane info]videoWidth=1\r\nInput after the end\r\n"});
    EXPECT_EQ(m.width, 720);
    EXPECT_EQ(m.height, 576);
    EXPECT_FLOAT_EQ(m.aspectRatio, 1.777778f);
    EXPECT_DOUBLE_EQ(m.duration, 5400.5);
    EXPECT_EQ(m.frameRateNum, 25);
    EXPECT_EQ(m.frameRateDen, 1);
    EXPECT_FALSE(m.readingProbe);
    EXPECT_EQ(m.infoLines, W({"Input #0, avi, from 'a.avi':", "  Duration: 00:01:30.00", "    Stream #0:0: Video",
                               "videoWidth 720", "videoHeight 576", "videoAspectRatio 1.777778", "videoDuration 5400.5",
                               "videoFrameRateNum 25", "videoFrameRateDen 1"}));
}

TEST(MovieProbeParser, KeysValuesAndMarkers) {
    const struct {
        const char* name;
        std::string text;
        int width;
        std::vector<std::string> lines;
    } cases[] = {
        {"junk after number", "[sorvane info]videoWidth=720abc\n", 720, {"videoWidth 720abc"}},
        {"no number", "[sorvane info]videoWidth=abc\n", 0, {"videoWidth abc"}},
        {"key case differs", "[sorvane info]videowidth=720\n", 0, {}},
        {"unknown key", "[sorvane info]colour=blue\n", 0, {}},
        {"marker without equals", "[sorvane info]videoWidth 720\n", 0, {}},
        {"later line overwrites", "[sorvane info]videoWidth=1\n[sorvane info]videoWidth= 2\n", 2, {"videoWidth 1", "videoWidth  2"}},
        {"value with equals", "[sorvane info]videoWidth=3=4\n", 3, {"videoWidth 3=4"}},
        {"bare LF like CR LF", "Input x\n[sorvane info]videoWidth=8\n", 8, {"Input x", "videoWidth 8"}},
        {"end marker with text after it", "[sorvane end info] trailing\n[sorvane info]videoWidth=9\n", 0, {}},
        {"last line without LF is not parsed", "[sorvane info]videoWidth=5", 0, {}},
    };
    for (const auto& c : cases) {
        const SVDVDAuthorMovie m = Parsed({c.text});
        EXPECT_EQ(m.width, c.width) << c.name;
        EXPECT_EQ(m.infoLines, W(c.lines)) << c.name;
    }
}

TEST(MovieProbeParser, LinesSplitAcrossBlocksParseOnceWhole) {
    const std::string text = "Input #0\r\n[sorvane info]videoWidth=704\r\n[sorvane info]videoHeight=480\r\n[sorvane end info]\r\n";
    const SVDVDAuthorMovie whole = Parsed({text});
    for (size_t cut = 1; cut < text.size(); ++cut) {
        const SVDVDAuthorMovie split = Parsed({text.substr(0, cut), text.substr(cut)});
        EXPECT_EQ(split.infoLines, whole.infoLines) << "cut at " << cut;
        EXPECT_EQ(split.width, 704) << "cut at " << cut;
        EXPECT_EQ(split.height, 480) << "cut at " << cut;
    }
    std::vector<std::string> bytes;
    for (char c : text) bytes.emplace_back(1, c);
    EXPECT_EQ(Parsed(bytes).infoLines, whole.infoLines);
}

TEST(MovieProbeParser, AspectFix) {
    const struct {
        std::string aspect;
        int width, height;
        float expected;
    } cases[] = {{"0", 720, 576, 1.25f}, {"1", 720, 576, 1.25f}, {"1.777778", 720, 576, 1.777778f}, {"1", 0, 0, 1.0f},
                 {"0", 720, 0, 0.0f}};
    for (const auto& c : cases) {
        SVDVDAuthorMovie m = Parsed({"[sorvane info]videoAspectRatio=" + c.aspect + "\n[sorvane info]videoWidth=" +
                                     std::to_string(c.width) + "\n[sorvane info]videoHeight=" + std::to_string(c.height) + "\n"});
        m.FixAspectRatio();
        EXPECT_FLOAT_EQ(m.aspectRatio, c.expected) << c.aspect << " " << c.width << "x" << c.height;
    }
}

TEST(MovieProbeParser, DurationKeepsAboutSevenDigits) {
    EXPECT_NEAR(Parsed({"[sorvane info]videoDuration=3600.123456\n"}).duration, 3600.123, 0.001);
    EXPECT_EQ(Parsed({"[sorvane info]videoDuration=abc\n"}).duration, 0.0);
    EXPECT_EQ(Parsed({"[sorvane info]videoDuration=1e2\n"}).duration, 100.0);
}

TEST(MovieProbeParser, ResetKeepsNameRatesAndLines) {
    SVDVDAuthorMovie m = Parsed({"[sorvane info]videoWidth=720\n[sorvane info]videoFrameRateNum=25\n"});
    m.fileName = L"/x.avi";
    m.duration = 3;
    m.aspectRatio = 2;
    m.Reset();
    EXPECT_EQ(m.width, 0);
    EXPECT_EQ(m.duration, 0);
    EXPECT_EQ(m.aspectRatio, 1.0f);
    EXPECT_EQ(m.frameRateNum, 25);
    EXPECT_EQ(m.fileName, L"/x.avi");
    EXPECT_EQ(m.infoLines.size(), 2u);
}

// The probe of real files through the encoder tool.
class MovieProbe : public testing::Test {
protected:
    SVDVDAuthorMovie Probe(const std::string& path) {
        SVDVDAuthorMovie movie;
        movie.Probe(platform::Widen(path));
        return movie;
    }
    TempFolder temp;
};

TEST_F(MovieProbe, RealClips) {
    const struct {
        const char* name;
        ClipSpec spec;
        int width, height;
        float aspect;
        int rateNum, rateDen;
    } cases[] = {
        {"PAL 4:3", {720, 576, "25", 2, "16/15"}, 720, 576, 4.0f / 3, 25, 1},
        {"NTSC 29.97", {720, 480, "30000/1001", 1.5, "8/9"}, 720, 480, 4.0f / 3, 30000, 1001},
        {"anamorphic 16:9", {720, 576, "25", 1, "64/45"}, 720, 576, 16.0f / 9, 25, 1},
        {"HD square pixels", {1280, 720, "25", 1}, 1280, 720, 16.0f / 9, 25, 1},
    };
    for (const auto& c : cases) {
        const std::string path = temp / (std::string(c.name) + ".mp4");
        ASSERT_TRUE(MakeClip(path, c.spec)) << c.name;
        const SVDVDAuthorMovie m = Probe(path);
        EXPECT_EQ(m.fileName, platform::Widen(path));
        EXPECT_EQ(m.width, c.width) << c.name;
        EXPECT_EQ(m.height, c.height) << c.name;
        EXPECT_NEAR(m.aspectRatio, c.aspect, 0.001) << c.name;
        EXPECT_NEAR(m.duration, c.spec.seconds, 0.1) << c.name;
        EXPECT_EQ(m.frameRateNum, c.rateNum) << c.name;
        EXPECT_EQ(m.frameRateDen, c.rateDen) << c.name;
        ASSERT_FALSE(m.infoLines.empty());
        EXPECT_EQ(m.infoLines[0].rfind(L"Input", 0), 0u) << c.name;
        EXPECT_NE(std::find_if(m.infoLines.begin(), m.infoLines.end(),
                               [](const std::wstring& l) { return l.rfind(L"    Stream", 0) == 0; }),
                  m.infoLines.end())
            << c.name;
    }
}

TEST_F(MovieProbe, FilesWithoutVideoProbeAsInvalid) {
    const std::string audio = temp / "sound.wav";
    ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -f lavfi -i sine=duration=1 '" + audio + "'").c_str()), 0);
    WriteFileBytes(temp / "corrupt.avi", std::string(5000, '\x42'));
    const std::string odd = temp / "Vid\xC3\xA9o \"quoted\".mp4";
    ASSERT_TRUE(MakeClip(odd, {}));
    for (const std::string& path : {audio, temp / "corrupt.avi", temp / "missing.avi"}) {
        const SVDVDAuthorMovie m = Probe(path);
        EXPECT_EQ(m.duration, 0.0) << path;
        EXPECT_EQ(m.aspectRatio, 1.0f) << path;
    }
    EXPECT_GT(Probe(odd).duration, 1.5) << "a name with non-ASCII letters and quotes";
}

// A blank in the tools folder must not split the encoder's path.
TEST_F(MovieProbe, ToolsFolderWithABlank) {
    const std::string tools = temp / "my tools";
    std::filesystem::create_directories(tools);
    std::filesystem::create_symlink(BinFolder() + "/ffmpeg", tools + "/ffmpeg");
    const std::string clip = temp / "clip.mp4";
    ASSERT_TRUE(MakeClip(clip, {}));
    SVDVDAuthorMovie m;
    m.toolFolder = platform::Widen(tools);
    m.Probe(platform::Widen(clip));
    EXPECT_GT(m.duration, 1.5);
}

TEST_F(MovieProbe, MissingEncoderLeavesTheResetValues) {
    SVDVDAuthorMovie m;
    m.toolFolder = temp.wpath();
    m.Probe(L"/whatever.avi");
    EXPECT_EQ(m.duration, 0.0);
    EXPECT_TRUE(m.infoLines.empty());
}

}  // namespace
