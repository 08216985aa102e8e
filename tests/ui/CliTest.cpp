#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"
#include "platform/TextCodec.h"
#include "process/SVCommandLineProcess.h"
#include "tests/support/Clips.h"
#include "tests/support/DvdReader.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualDrives.h"
#include "ui/MediumChecks.h"
#include "ui/TrackProgress.h"
#include "ui/cli/CliCommands.h"
#include "ui/cli/CliOptions.h"
#include "ui/cli/CliProgress.h"

namespace {

TEST(CliOptions, CommandsOptionsAndMistakes) {
    std::string error;
    auto options = ParseCliOptions({"compile", "--tv", "ntsc", "--format", "16:9", "--quality", "low", "--burner", "2", "--speed",
                                    "max", "--label", "My trip", "--no-eject", "--keep", "--replace", "--erase", "/v/a.mp4", "/v/b.mkv"},
                                   error);
    ASSERT_TRUE(options) << error;
    VidorraSetting settings;
    ApplyOptions(*options, settings);
    EXPECT_EQ(settings.videoFormat, 2);
    EXPECT_EQ(settings.screenFormat, 2);
    EXPECT_EQ(settings.quality, 2);
    EXPECT_EQ(settings.burnerIndex, 2);
    EXPECT_EQ(settings.burnerSpeed, 0);
    EXPECT_FALSE(settings.eject);
    EXPECT_FALSE(settings.removeFiles);
    EXPECT_TRUE(settings.burnEnabled) << "unchanged without --burn or --no-burn";
    EXPECT_EQ(*options->label, L"My trip");
    EXPECT_TRUE(options->replace && options->erase);
    EXPECT_EQ(options->files, (std::vector<std::wstring>{L"/v/a.mp4", L"/v/b.mkv"}));

    // Relative paths become absolute: the tools run in their own folder.
    options = ParseCliOptions({"info", "clip.mp4"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->files[0], platform::Widen((std::filesystem::current_path() / "clip.mp4").string()));
    EXPECT_EQ(ParseCliOptions({}, error)->command, "help");
    EXPECT_EQ(ParseCliOptions({"--help"}, error)->command, "help");

    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"convert"}, {"compile"}, {"compile", "--tv", "secam", "a"}, {"compile", "a", "--speed"}, {"compile", "--bogus", "a"},
             {"burn"}, {"burn", "a", "b"}, {"compile", "--burner", "-1", "a"}, {"info"},
             {"compile", "--label", std::string(33, 'L'), "a"}}) {
        EXPECT_FALSE(ParseCliOptions(wrong, error)) << testing::PrintToString(wrong);
        EXPECT_FALSE(error.empty());
    }
}

TEST(CliChoices, SpeedMediumTrackAndBar) {
    const std::vector<SVBurnerSpeed> offers = {{4}, {8}, {16}};
    EXPECT_EQ(cli::ChooseSpeed(offers, 8), 8);
    EXPECT_EQ(cli::ChooseSpeed(offers, 2), 4) << "nothing at or below: Max, the first offer";
    EXPECT_EQ(cli::ChooseSpeed(offers, 706), 16);
    EXPECT_EQ(cli::ChooseSpeed(offers, 0), 4);
    EXPECT_EQ(cli::ChooseSpeed({}, 8), 8);

    const struct {
        const char* name;
        SVMedia media;
        MediumVerdict verdict;
        std::wstring message;
    } media[] = {
        {"blank DVD", {"DVD-R", 1, false, true, 1}, MediumVerdict::ready, L""},
        {"blank CD", {"CD-R", 1, false, true, 1}, MediumVerdict::wrongType, L"You must insert a DVD Disk. You have inserted a CD-R"},
        {"no disc", {"", 0, false, false, 0}, MediumVerdict::insertDisc, L"Please insert a DVD disk."},
        {"rewritable with data", {"DVD-RW", 1, true, false, 1}, MediumVerdict::askErase,
         L"The target DVD disk seems contain datas. if you continue, all datas will be erased and replaced by your great video!"},
        {"written DVD-R", {"DVD-R", 1, false, false, 1}, MediumVerdict::insertDisc, L"Please insert a DVD disk."},
        {"CD-RW with data", {"CD-RW", 1, true, false, 1}, MediumVerdict::wrongType, L"You must insert a DVD Disk. You have inserted a CD-RW"},
    };
    for (const auto& m : media) {
        EXPECT_EQ(JudgeMedium(m.media), m.verdict) << m.name;
        EXPECT_EQ(MediumMessage(m.verdict, m.media), m.message) << m.name;
    }
    SVMedia dvd;
    dvd.physicalSize = 4700000000;
    EXPECT_TRUE(FolderFits(4700000000, dvd));
    EXPECT_FALSE(FolderFits(4700000001, dvd));

    int64_t written = 0, total = 0;
    EXPECT_TRUE(ParseTrackProgress("[cdr] Track 01:   12 of  340 MB written (fifo 100%).", written, total));
    EXPECT_EQ(written, 12);
    EXPECT_EQ(total, 340);
    EXPECT_FALSE(ParseTrackProgress("[cdr] Fixating...", written, total));

    EXPECT_EQ(CliProgress::Bar("Encoding", 0.5, 65, 10), "Encoding [#####-----]  50%  0:01:05 left");
    EXPECT_EQ(CliProgress::Bar("Burning", 1.5, 0, 4), "Burning [####] 100%");
    EXPECT_EQ(CliProgress::Bar("Burning", -1, 0, 4), "Burning [----]   0%");
}

// vidorra-cli as a user runs it, on generated clips and virtual drives.
class CliRun : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(MakeClip(clip, {320, 240, "25", 1})); }
    int Cli(const std::string& arguments, std::vector<std::string>* lines = nullptr) {
        SVCommandLineProcess runner;
        runner.commandLine = platform::QuoteArgument(platform::Widen(BinFolder() + "/vidorra-cli")) + L" " +
                             platform::Widen(arguments) + L" --settings " + platform::QuoteArgument(platform::Widen(temp / "none.ini"));
        const auto output = runner.Run();
        if (lines) *lines = output;
        all.insert(all.end(), output.begin(), output.end());
        return runner.lastExit.code;
    }
    bool Said(const std::string& text) const {
        for (const auto& line : all) {
            if (line.find(text) != std::string::npos) return true;
        }
        return false;
    }
    std::string Q(const std::string& path) { return platform::Narrow(platform::QuoteArgument(platform::Widen(path))); }

    TempFolder temp;
    VirtualDrives drives{temp / "drives"};
    const std::string clip = temp / "clip one.mp4";
    const std::string work = temp / "work";
    std::vector<std::string> all;
};

TEST_F(CliRun, CompileAndBurnOntoABlankDvd) {
    const std::string image = drives.Add("r", "9,0,0", "DVD-R", "empty", 2298496);
    EXPECT_EQ(Cli("compile " + Q(clip) + " --folder " + Q(work) + " --label TRIP"), 0) << testing::PrintToString(all);
    const DvdLayout dvd = ReadDvd(image);
    EXPECT_EQ(dvd.discTitle, "TRIP") << dvd.output;
    ASSERT_EQ(dvd.chapterSeconds.size(), 1u);
    EXPECT_NEAR(dvd.chapterSeconds[0], 1.0, 0.5);
    EXPECT_FALSE(std::filesystem::exists(work)) << "removed after the burn, as the settings say";
    EXPECT_TRUE(Said("Encoding: 100%"));
    EXPECT_TRUE(Said("Burning : 100%"));

    // The disc is now complete: the next compile stops before encoding.
    EXPECT_EQ(Cli("compile " + Q(clip) + " --folder " + Q(work)), 3);
    EXPECT_TRUE(Said("Please insert a DVD disk."));
    EXPECT_FALSE(std::filesystem::exists(work));
}

TEST_F(CliRun, ExitStatusesOfWhatCannotWork) {
    const std::string bad = temp / "bad.avi";
    WriteFileBytes(bad, std::string(3000, 'x'));
    // Listed in file name order: 0, 1, 2.
    drives.Add("a-none", "9,0,0", "none", "empty", 0);
    drives.Add("b-small", "9,1,0", "DVD-R", "empty", 100);
    drives.Add("c-rw", "9,2,0", "DVD-RW", "complete", 2297888, "old");
    std::filesystem::create_directories(work);
    WriteFileBytes(work + "/keep.txt", "mine");

    EXPECT_EQ(Cli("compile " + Q(bad) + " --no-burn --folder " + Q(temp / "w1")), 4);
    EXPECT_TRUE(Said("bad.avi: not a video file Vidorra can read."));
    EXPECT_EQ(Cli("compile " + Q(clip) + " --burner 0 --folder " + Q(temp / "w2")), 3);
    EXPECT_TRUE(Said("Please insert a DVD disk."));
    EXPECT_EQ(Cli("compile " + Q(clip) + " --burner 7 --folder " + Q(temp / "w2")), 3);
    EXPECT_TRUE(Said("No burner number 7"));
    EXPECT_EQ(Cli("compile " + Q(clip) + " --no-burn --folder " + Q(work)), 5);
    EXPECT_EQ(ReadFileBytes(work + "/keep.txt"), "mine") << "never deleted without --replace";

    // Too small a disc: the folder is compiled, kept, and not burned.
    EXPECT_EQ(Cli("compile " + Q(clip) + " --burner 1 --folder " + Q(temp / "w3")), 3);
    EXPECT_TRUE(Said("The compiled movie is too big. Burn is not possible."));
    EXPECT_TRUE(std::filesystem::exists(temp / "w3/VIDEO_TS/VIDEO_TS.IFO"));
    EXPECT_EQ(drives.Status("b-small"), "empty");

    // A rewritable disc with data is erased only with --erase; the folder burned as it is.
    EXPECT_EQ(Cli("burn " + Q(temp / "w3") + " --burner 2"), 3);
    EXPECT_TRUE(Said("Pass --erase to agree."));
    EXPECT_EQ(Cli("burn " + Q(temp / "w3") + " --burner 2 --erase --label AGAIN"), 0) << testing::PrintToString(all);
    EXPECT_EQ(ReadDvd(drives.folder + "/c-rw.iso").discTitle, "AGAIN");
    EXPECT_TRUE(std::filesystem::exists(temp / "w3/VIDEO_TS/VIDEO_TS.IFO")) << "a burned folder is kept unless --remove";
    EXPECT_EQ(Cli("burn " + Q(temp / "nothing")), 4);
}

// Ctrl-C during the encoding cancels the compilation: exit 130, nothing left running.
TEST_F(CliRun, InterruptCancelsTheCompilation) {
    const std::string longClip = temp / "long.mp4";
    ASSERT_TRUE(MakeClip(longClip, {320, 240, "25", 60}));
    platform::ChildProcess cli;
    ASSERT_TRUE(cli.Start(platform::QuoteArgument(platform::Widen(BinFolder() + "/vidorra-cli")) + L" compile " +
                              platform::Widen(Q(longClip)) + L" --no-burn --folder " + platform::Widen(Q(work)) + L" --settings " +
                              platform::Widen(Q(temp / "none.ini")),
                          L""));
    std::string output;
    char buffer[4096];
    while (output.find("Encoding: ") == std::string::npos) {
        const ssize_t n = ::read(cli.OutputFd(), buffer, sizeof buffer);
        ASSERT_GT(n, 0) << output;
        output.append(buffer, static_cast<size_t>(n));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ::kill(cli.Pid(), SIGINT);
    ssize_t n;
    while ((n = ::read(cli.OutputFd(), buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<size_t>(n));
    ASSERT_TRUE(cli.WaitFor(std::chrono::seconds(20)));
    EXPECT_EQ(cli.Exit().code, 130) << output;
    EXPECT_NE(output.find("Cancelled."), std::string::npos) << output;
}

// The user's settings decide what the options leave open: the working folder is named after
// the first video inside the settings' folder, and the log gets the start header.
TEST_F(CliRun, SettingsFileAndLog) {
    const std::string settings = temp / "settings.ini";
    WriteFileBytes(settings, "[Encoding]\nworkingFolder=" + temp / "base" + "\n[Burner]\nburnEnabled=false\n[Format]\nvideoFormat=1\n");
    SVCommandLineProcess runner;
    runner.commandLine = platform::QuoteArgument(platform::Widen(BinFolder() + "/vidorra-cli")) + L" compile " +
                         platform::Widen(Q(clip)) + L" --settings " + platform::Widen(Q(settings));
    const auto lines = runner.Run();
    EXPECT_EQ(runner.lastExit.code, 0) << testing::PrintToString(lines);
    const DvdLayout dvd = ReadDvd(temp / "base/clip one");
    EXPECT_EQ(dvd.format, "PAL") << dvd.output;
    const std::string log = ReadFileBytes(std::string(std::getenv("XDG_CONFIG_HOME")) + "/Quorvel/vidorra-cli/vidorra-cli.log");
    EXPECT_NE(log.find("\n" + std::string(47, '_') + "\n" + std::string(26, ' ') + "Start new compilation\n" + std::string(26, ' ') +
                       "Write date here\n\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("[Enc] "), std::string::npos);
}

TEST_F(CliRun, InfoDrivesAndHelp) {
    drives.Add("r", "9,0,0", "DVD-R", "empty", 2298496);
    std::vector<std::string> lines;
    EXPECT_EQ(Cli("info " + Q(clip), &lines), 0);
    EXPECT_TRUE(Said("  videoWidth 320"));
    EXPECT_TRUE(Said("  videoDuration 1"));
    EXPECT_EQ(Cli("drives", &lines), 0);
    EXPECT_TRUE(Said("0: VIDORRA  Virtual DVD-R    (dev=9,0,0)"));
    EXPECT_TRUE(Said("   speeds: 4x 8x 16x"));
    EXPECT_TRUE(Said("   disc: DVD-R, blank, 4.71 GB"));
    EXPECT_EQ(Cli("--help", &lines), 0);
    for (const char* documented : {"--tv", "--format", "--quality", "--folder", "--replace", "--burner", "--speed", "--label",
                                   "--eject", "--remove", "--erase", "Exit status"}) {
        EXPECT_TRUE(Said(documented)) << documented;
    }
    EXPECT_EQ(Cli("compile --tv secam x"), 2);
}

}  // namespace
