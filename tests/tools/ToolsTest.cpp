#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <thread>

#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"
#include "platform/TextCodec.h"
#include "process/SVCommandLineProcess.h"
#include "tests/support/Clips.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"
#include "tools/AuthoringContract.h"
#include "tools/EncoderContract.h"

namespace {

std::wstring Tool(const std::string& name) { return platform::QuoteArgument(platform::Widen(BinFolder() + "/" + name)); }
std::wstring Q(const std::string& text) { return platform::QuoteArgument(platform::Widen(text)); }

std::vector<std::string> RunLines(const std::wstring& commandLine, platform::ChildExit* exit = nullptr) {
    SVCommandLineProcess runner;
    runner.commandLine = commandLine;
    auto lines = runner.Run();
    if (exit) *exit = runner.lastExit;
    return lines;
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> out;
    for (const auto& w : platform::SplitCommandLine(platform::Widen(line))) out.push_back(platform::Narrow(w));
    return out;
}

TEST(EncoderContract, AcceptsExactlyTheConversionLine) {
    std::string error;
    const auto c = tools::ParseConversion(
        Split("-i \"/v/a b.avi\" -target pal-dvd  -b 8500k -ab 320k -sws_flags bicubic -s 720x432 -padtop 72 -padbottom 72 "
              "-aspect 4:3  /p/x"),
        error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->input, "/v/a b.avi");
    EXPECT_TRUE(c->pal);
    EXPECT_EQ(c->videoKilo, 8500);
    EXPECT_EQ(c->height, 432);
    EXPECT_EQ(c->padTop, 72);
    EXPECT_EQ(c->output, "/p/x");
    const auto real = tools::RealConversionCommand(*c, "/usr/bin/ffmpeg");
    EXPECT_NE(std::find(real.begin(), real.end(), "scale=720:432:flags=bicubic,pad=720:576:0:72:black"), real.end());
    EXPECT_NE(std::find(real.begin(), real.end(), std::to_string(8500 * 1024)), real.end());

    const char* rejected[] = {
        "-i a -target pal-dvd -b 8500k -ab 320k -sws_flags bicubic -s 720x432 -padtop 72 -padbottom 72 -aspect 4:3",
        "-i a -target secam-dvd -b 8500k -ab 320k -sws_flags bicubic -s 720x432 -padtop 72 -padbottom 72 -aspect 4:3 o",
        "-i a -target pal-dvd -b 0k -ab 320k -sws_flags bicubic -s 720x432 -padtop 72 -padbottom 72 -aspect 4:3 o",
        "-i a -target pal-dvd -b -5k -ab 320k -sws_flags bicubic -s 720x432 -padtop 72 -padbottom 72 -aspect 4:3 o",
        "-i a -target pal-dvd -b 8500k -ab 320k -sws_flags lanczos -s 720x432 -padtop 72 -padbottom 72 -aspect 4:3 o",
        "-i a -target pal-dvd -b 8500k -ab 320k -sws_flags bicubic -s 720x432 -padtop 72 -padright 72 -aspect 4:3 o",
        "-i a -target ntsc-dvd -b 8500k -ab 320k -sws_flags bicubic -s 720x432 -padtop 72 -padbottom 72 -aspect 4:3 o",
        "-i a -target pal-dvd -b 8500k -ab 320k -sws_flags bicubic -s 720x432 -padtop 72 -padbottom 72 -aspect 2:1 o",
    };
    for (const char* line : rejected) EXPECT_FALSE(tools::ParseConversion(Split(line), error)) << line;
}

TEST(EncoderContract, ProgressTimesBecomeSeconds) {
    const std::pair<std::string, std::string> cases[] = {
        {"frame= 50 time=00:01:04.50 bitrate=1.0", "frame= 50 time=64.50 bitrate=1.0"},
        {"time=01:00:00.00", "time=3600.00"},
        {"time=-577014:32:22.77 x", "time=0.00 x"},
        {"time=N/A bitrate=N/A", "time=N/A bitrate=N/A"},
        {"no progress here", "no progress here"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(tools::WithTimeInSeconds(in), out);
}

TEST(EncoderContract, InfoBlockUsesTheDisplayAspect) {
    const auto block = tools::InfoBlock(tools::ParseKeyValues(
        "width=720\nheight=576\nsample_aspect_ratio=64:45\ndisplay_aspect_ratio=16:9\nr_frame_rate=25/1\nduration=3.5\n"));
    EXPECT_EQ(block, (std::vector<std::string>{"[sorvane info]videoWidth=720", "[sorvane info]videoHeight=576",
                                               "[sorvane info]videoAspectRatio=1.777778", "[sorvane info]videoDuration=3.500000",
                                               "[sorvane info]videoFrameRateNum=25", "[sorvane info]videoFrameRateDen=1"}));
    const auto noDar = tools::InfoBlock(tools::ParseKeyValues("width=640\nheight=480\nsample_aspect_ratio=N/A\nduration=N/A\n"));
    ASSERT_EQ(noDar.size(), 6u);
    EXPECT_EQ(noDar[2], "[sorvane info]videoAspectRatio=1.333333");
    EXPECT_EQ(noDar[3], "[sorvane info]videoDuration=0.000000");
    EXPECT_TRUE(tools::InfoBlock(tools::ParseKeyValues("duration=4.0\n")).empty());
}

TEST(AuthoringContract, DescriptionAndIfo) {
    bool removed = false;
    EXPECT_EQ(tools::WithoutEmptyVmgm("<dvdauthor><vmgm></vmgm><titleset/></dvdauthor>", removed),
              "<dvdauthor><titleset/></dvdauthor>");
    EXPECT_TRUE(removed);
    EXPECT_EQ(tools::WithoutEmptyVmgm("<dvdauthor><vmgm><menus/></vmgm></dvdauthor>", removed),
              "<dvdauthor><vmgm><menus/></vmgm></dvdauthor>");
    EXPECT_FALSE(removed);
    std::string ifo = "DVDVIDEO-VTS" + std::string(0x200, '\0');
    ifo[0x200] = 0x53;
    EXPECT_EQ(tools::VideoStandardOfVtsIfo(ifo), "PAL");
    ifo[0x200] = 0x43;
    EXPECT_EQ(tools::VideoStandardOfVtsIfo(ifo), "NTSC");
    EXPECT_EQ(tools::VideoStandardOfVtsIfo("short"), "");
}

// Conversion runs, with the real tools underneath.
class ToolRuns : public testing::Test {
protected:
    std::string Encode(const std::string& clip, const std::string& target, const std::string& size, const std::string& bands,
                       const std::string& aspect, const std::string& out, platform::ChildExit* exit = nullptr) {
        const auto lines = RunLines(Tool("ffmpeg") + L" -i " + Q(clip) + L" -target " + platform::Widen(target) +
                                        L"  -b 4000k -ab 320k -sws_flags bicubic -s " + platform::Widen(size) + L" " +
                                        platform::Widen(bands) + L" -aspect " + platform::Widen(aspect) + L"  " + Q(out),
                                    exit);
        std::string progress;
        for (const auto& line : lines) {
            if (line.find("time=") != std::string::npos) progress = line;
        }
        return progress;
    }
    // The black bands cropdetect measures: "crop=W:H:X:Y".
    std::string Crop(const std::string& file) {
        const std::string out = ShellOutput("ffmpeg -nostdin -i '" + file + "' -vf cropdetect=24:2:0 -f null -");
        static const std::regex crop("crop=(\\d+:\\d+:\\d+:\\d+)");
        std::string last;
        for (std::sregex_iterator it(out.begin(), out.end(), crop), end; it != end; ++it) {
            last = (*it)[1];
        }
        return last;
    }
    std::string Probe(const std::string& file) {
        return ShellOutput("ffprobe -v error -select_streams v:0 -show_entries stream=width,height,display_aspect_ratio -of csv=p=0 '" +
                           file + "'");
    }
    TempFolder temp;
};

TEST_F(ToolRuns, EncoderPutsThePictureBetweenTheRequestedBands) {
    const std::string hd = temp / "hd.mp4", square = temp / "sq.mp4";
    ASSERT_TRUE(MakeClip(hd, {1280, 720, "25", 1}));
    ASSERT_TRUE(MakeClip(square, {480, 480, "25", 1}));
    platform::ChildExit exit;
    const std::string progress = Encode(hd, "pal-dvd", "720x432", "-padtop 72 -padbottom 72", "4:3", temp / "lb.mpg", &exit);
    EXPECT_TRUE(exit.Succeeded());
    EXPECT_TRUE(std::regex_search(progress, std::regex("time=\\d+\\.\\d\\d"))) << progress;
    EXPECT_EQ(Probe(temp / "lb.mpg").rfind("720,576,4:3", 0), 0u);
    EXPECT_EQ(Crop(temp / "lb.mpg"), "720:432:0:72");

    Encode(square, "ntsc-dvd", "540x480", "-padleft 90 -padright 90", "16:9", temp / "pb.mpg", &exit);
    EXPECT_TRUE(exit.Succeeded());
    EXPECT_EQ(Probe(temp / "pb.mpg").rfind("720,480,16:9", 0), 0u);
    EXPECT_EQ(Crop(temp / "pb.mpg"), "540:480:90:0");
}

TEST_F(ToolRuns, EncoderFailsLoudly) {
    platform::ChildExit exit;
    Encode(temp / "missing.avi", "pal-dvd", "720x576", "-padtop 0 -padbottom 0", "4:3", temp / "x.mpg", &exit);
    EXPECT_NE(exit.code, 0);
    const auto lines = RunLines(Tool("ffmpeg") + L" -i a -padtop 2", &exit);
    EXPECT_NE(exit.code, 0);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("unsupported command line"), std::string::npos);
}

TEST_F(ToolRuns, EncoderIntoFifoIntoAuthoringToolGivesAPlayableFolder) {
    const struct {
        const char* name;
        ClipSpec clip;
        const char* target;
        const char* aspect;
        const char* format;
        const char* lsdvdAspect;
    } cases[] = {
        {"pal", {352, 288, "25", 2}, "pal-dvd", "4:3", "PAL", "4/3"},
        {"ntsc", {352, 240, "30000/1001", 2}, "ntsc-dvd", "16:9", "NTSC", "16/9"},
    };
    for (const auto& c : cases) {
        const std::string clip = temp / (std::string(c.name) + ".mp4");
        ASSERT_TRUE(MakeClip(clip, c.clip));
        const std::string fifo = temp / (std::string(c.name) + ".vob"), xml = temp / (std::string(c.name) + ".xml");
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        WriteFileBytes(xml, "<dvdauthor><vmgm></vmgm><titleset><titles><pgc><vob file=\"" + fifo +
                                "\" /><post>jump chapter 1;</post></pgc></titles></titleset></dvdauthor>");
        const std::string dvd = temp / (std::string(c.name) + " dvd");
        std::thread encoder([&] {
            Encode(clip, c.target, std::string(c.target) == "pal-dvd" ? "720x576" : "720x480", "-padtop 0 -padbottom 0", c.aspect, fifo);
        });
        platform::ChildExit exit;
        RunLines(Tool("dvdauthor") + L" -o " + Q(dvd) + L" -x " + Q(xml), &exit);
        encoder.join();
        EXPECT_TRUE(exit.Succeeded()) << c.name;
        ASSERT_TRUE(std::filesystem::exists(dvd + "/VIDEO_TS/VIDEO_TS.IFO")) << c.name;
        const std::string lsdvd = ShellOutput("lsdvd -x '" + dvd + "'");
        EXPECT_NE(lsdvd.find(std::string("Format: ") + c.format), std::string::npos) << lsdvd;
        EXPECT_NE(lsdvd.find(std::string("Aspect ratio: ") + c.lsdvdAspect), std::string::npos) << lsdvd;
        EXPECT_TRUE(std::regex_search(lsdvd, std::regex("Length: 00:00:0(1\\.9|2\\.0)"))) << lsdvd;
    }
}

TEST_F(ToolRuns, AuthoringToolFailsWithoutUsableStreams) {
    const std::string xml = temp / "d.xml";
    WriteFileBytes(xml, "<dvdauthor><vmgm></vmgm><titleset><titles><pgc><vob file=\"" + temp / "none.vob" +
                            "\" /></pgc></titles></titleset></dvdauthor>");
    platform::ChildExit exit;
    RunLines(Tool("dvdauthor") + L" -o " + Q(temp / "dvd") + L" -x " + Q(xml), &exit);
    EXPECT_NE(exit.code, 0);
    EXPECT_FALSE(std::filesystem::exists(temp / "dvd/VIDEO_TS/VIDEO_TS.IFO"));
    RunLines(Tool("dvdauthor") + L" -o " + Q(temp / "dvd"), &exit);
    EXPECT_NE(exit.code, 0);
}

TEST_F(ToolRuns, ImageSizeQueryMatchesTheWrittenImage) {
    const std::string clip = temp / "c.mp4", vob = temp / "c.vob", xml = temp / "c.xml", dvd = temp / "dvd";
    ASSERT_TRUE(MakeClip(clip, {352, 288, "25", 1}));
    Encode(clip, "pal-dvd", "720x576", "-padtop 0 -padbottom 0", "4:3", vob);
    WriteFileBytes(xml, "<dvdauthor><vmgm></vmgm><titleset><titles><pgc><vob file=\"" + vob + "\" /></pgc></titles></titleset></dvdauthor>");
    RunLines(Tool("dvdauthor") + L" -o " + Q(dvd) + L" -x " + Q(xml));
    long long extents = -1;
    for (const auto& line : RunLines(Tool("mkisofs") + L" -dvd-video -print-size " + Q(dvd))) {
        const std::string key = "Total extents scheduled to be written =";
        if (line.rfind(key, 0) == 0) extents = std::stoll(line.substr(key.size()));
    }
    ASSERT_GT(extents, 0);
    platform::ChildExit exit;
    RunLines(Tool("mkisofs") + L" -V HOLIDAY -dvd-video -o " + Q(temp / "image.iso") + L"  " + Q(dvd), &exit);
    EXPECT_TRUE(exit.Succeeded());
    EXPECT_EQ(static_cast<long long>(std::filesystem::file_size(temp / "image.iso")), extents * 2048);
    RunLines(Tool("mkisofs") + L" -dvd-video -o", &exit);
    EXPECT_NE(exit.code, 0);
}

}  // namespace
