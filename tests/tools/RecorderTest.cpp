#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "burning/SVCDRecord.h"
#include "platform/CommandLine.h"
#include "platform/TextCodec.h"
#include "process/SVCommandLineProcess.h"
#include "tests/support/Clips.h"
#include "tests/support/DvdReader.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualDrives.h"
#include "tools/RecorderContract.h"
#include "tools/TrackFeed.h"
#include "tools/VirtualDrive.h"
#include "tools/XorrisoDrive.h"

namespace {

std::vector<std::string> Args(const std::string& line) {
    std::vector<std::string> out;
    for (const auto& w : platform::SplitCommandLine(platform::Widen(line))) out.push_back(platform::Narrow(w));
    return out;
}

TEST(RecorderContract, AcceptsExactlyTheContractLines) {
    const struct {
        std::string line;
        tools::RecorderRun run;
        std::string address;
        int64_t tsize;
        int speed;
        std::string track;
    } accepted[] = {
        {"-scanbus", tools::RecorderRun::scanBus, "", -1, 0, ""},
        {"-prcap -v dev=1,0,0", tools::RecorderRun::capabilities, "1,0,0", -1, 0, ""},
        {"-v -minfo -dev=10,2,0", tools::RecorderRun::medium, "10,2,0", -1, 0, ""},
        {"-dev 1,0,0 -eject", tools::RecorderRun::eject, "1,0,0", -1, 0, ""},
        {"-reset dev=1,0,0", tools::RecorderRun::reset, "1,0,0", -1, 0, ""},
        {"gracetime=0 blank=fast -force dev=1,0,0", tools::RecorderRun::fastBlank, "1,0,0", -1, 0, ""},
        {"-tsize=2295104s -v speed=0 gracetime=0 dev=9,0,0 /run/p/abc", tools::RecorderRun::write, "9,0,0", 2295104, 0,
         "/run/p/abc"},
        {"-tsize=0s -v speed=16 gracetime=0 dev=9,0,0 /p", tools::RecorderRun::write, "9,0,0", 0, 16, "/p"},
    };
    for (const auto& c : accepted) {
        std::string error;
        const auto command = tools::ParseRecorderCommand(Args(c.line), error);
        ASSERT_TRUE(command) << c.line << ": " << error;
        EXPECT_EQ(command->run, c.run) << c.line;
        EXPECT_EQ(command->address, c.address) << c.line;
        EXPECT_EQ(command->tsizeSectors, c.tsize) << c.line;
        EXPECT_EQ(command->speed, c.speed) << c.line;
        EXPECT_EQ(command->track, c.track) << c.line;
    }
    for (const char* refused : {"", "-scanbus -v", "-prcap dev=1,0,0", "-v -minfo dev=1,0,0", "-v -minfo -dev=1, 0,0",
                                "-v -minfo -dev=1,0", "-v -minfo -dev=a,b,c", "-dev 1,0,0", "blank=fast -force dev=1,0,0",
                                "-tsize=100 -v speed=0 gracetime=0 dev=1,0,0 /p", "-tsize=100s -v speed=x gracetime=0 dev=1,0,0 /p",
                                "-tsize=100s -v speed=0 gracetime=0 dev=1,0,0", "-tsize=100s -v speed=0 dev=1,0,0 /p"}) {
        std::string error;
        EXPECT_FALSE(tools::ParseRecorderCommand(Args(refused), error)) << refused;
        EXPECT_FALSE(error.empty()) << refused;
    }
}

// Real pipes on both sides: the feed passes exactly what it may and says why it stopped.
TEST(TrackFeed, HonoursTsizeAndCapacity) {
    // The producer of a refused track writes into a closed pipe: a failed write here.
    ::signal(SIGPIPE, SIG_IGN);
    const struct {
        const char* name;
        int64_t input, tsize, capacity;
        bool ok;
        int64_t passed;
        std::string error;
    } cases[] = {
        {"exact tsize", 3 << 20, 3 << 20, 4 << 20, true, 3 << 20, ""},
        {"no tsize within capacity", 100000, -1, 1 << 20, true, 100000, ""},
        {"shorter than tsize", 5000, 8192, -1, false, 5000, "premature end"},
        {"longer than tsize", 10000, 8192, -1, false, 8192, "longer than -tsize"},
        {"beyond capacity", 3 << 20, -1, 1 << 20, false, 1 << 20, "does not fit"},
        {"empty track", 0, -1, 4096, true, 0, ""},
    };
    for (const auto& c : cases) {
        int in[2], out[2];
        ASSERT_EQ(::pipe(in), 0);
        ASSERT_EQ(::pipe(out), 0);
        std::string data(static_cast<size_t>(c.input), '\0');
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 4096);
        std::thread writer([&] {
            (void)!::write(in[1], data.data(), data.size());
            ::close(in[1]);
        });
        std::string received;
        std::thread reader([&] {
            char buffer[65536];
            ssize_t n;
            while ((n = ::read(out[0], buffer, sizeof buffer)) > 0) received.append(buffer, static_cast<size_t>(n));
        });
        std::vector<int64_t> progress;
        const auto result = tools::FeedTrack(in[0], out[1], c.tsize, c.capacity, [&](int64_t bytes) { progress.push_back(bytes); });
        ::close(out[1]);
        ::close(in[0]);  // a writer with input left sees a closed pipe
        writer.join();
        reader.join();
        ::close(out[0]);
        EXPECT_EQ(result.ok, c.ok) << c.name;
        EXPECT_EQ(result.bytes, c.passed) << c.name;
        EXPECT_EQ(received, data.substr(0, static_cast<size_t>(c.passed))) << c.name;
        EXPECT_NE(result.error.find(c.error), std::string::npos) << c.name << ": " << result.error;
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.back(), c.passed) << c.name;
    }
}

// What libburn's tools print for real drives, turned into the recorder's terms. The -toc
// block of the stdio pseudo-drive was recorded here; the drive blocks follow the form of
// xorriso 1.5's -toc and -list_speeds reports.
TEST(XorrisoDrive, MapsSpeedAndMediumReports) {
    EXPECT_EQ(tools::DvdSpeedsFromXorriso({"Write speed  :   5540k ,  4.0xD", "Write speed  :  11080k ,  8.0xD",
                                           "Write speed  :  22160k , 16.0xD", "Write speed L:   5540k ,  4.0xD",
                                           "Write speed H:  22160k , 16.0xD", "Write speed  :   7056k , 40.0xC",
                                           "Read speed   :  22160k , 16.0xD"}),
              (std::vector<int>{4, 8, 16}));
    EXPECT_TRUE(tools::DvdSpeedsFromXorriso({"xorriso : NOTE : Output device is not an MMC drive."}).empty());

    const struct {
        const char* name;
        std::vector<std::string> lines;
        std::string type, status;
        int64_t sectors;
    } media[] = {
        {"blank DVD-R",
         {"Media current: DVD-R sequential recording", "Media status : is blank",
          "Media blocks : 0 readable , 2298496 writable , 2298496 overall"},
         "DVD-R", "empty", 2298496},
        {"closed DVD-RW",
         {"Media current: DVD-RW sequential recording", "Media status : is written , is closed",
          "Media blocks : 1504 readable , 0 writable , 2297888 overall"},
         "DVD-RW", "complete", 2297888},
        {"appendable DVD+R", {"Media current: DVD+R", "Media status : is written , is appendable"}, "DVD+R", "incomplete", 0},
        {"empty drive", {"Media current: is not present", "Media status : is not present"}, "", "", 0},
        {"stdio file (recorded)",
         {"Drive current: -outdev 'stdio:/tmp/xr/new.iso'", "Media current: stdio file, overwriteable", "Media status : is blank",
          "Media blocks : 0 readable , 41661046 writable , 41661046 overall"},
         "", "", 0},
    };
    for (const auto& m : media) {
        const tools::MediumState state = tools::MediumFromXorriso(m.lines);
        EXPECT_EQ(state.type, m.type) << m.name;
        EXPECT_EQ(state.status, m.status) << m.name;
        EXPECT_EQ(state.sectors, m.sectors) << m.name;
    }
    EXPECT_EQ(tools::WriteCommand("/usr/bin/xorrecord", "/dev/sr0", 8, 1000),
              (std::vector<std::string>{"/usr/bin/xorrecord", "-v", "dev=/dev/sr0", "speed=8", "-nopad", "-tsize=1000s", "-"}));
}

// Virtual drives in every media state, driven through the recorder's command lines and read
// back with the program's own parsing rules.
class VirtualDriveTest : public testing::Test {
protected:
    void SetUp() override { ::signal(SIGPIPE, SIG_IGN); }  // a producer whose recorder stopped reading

    std::string Drive(const std::string& name, const std::string& address, const std::string& media, const std::string& status,
                      int64_t sectors, const std::string& speeds = "4,8,16") {
        return drives.Add(name, address, media, status, sectors, "", speeds);
    }
    std::vector<std::string> Recorder(const std::string& arguments, platform::ChildExit* exit = nullptr) {
        SVCommandLineProcess runner;
        runner.commandLine = platform::QuoteArgument(platform::Widen(BinFolder() + "/cdrecord")) + L" " + platform::Widen(arguments);
        auto lines = runner.Run();
        if (exit) *exit = runner.lastExit;
        return lines;
    }
    std::string Status(const std::string& name) { return drives.Status(name); }
    // Writes `stream` through a FIFO, as the relay would hand it over.
    std::vector<std::string> WriteThroughFifo(const std::string& address, const std::string& stream, int64_t tsize,
                                              platform::ChildExit& exit) {
        const std::string fifo = temp / "track";
        ::unlink(fifo.c_str());
        EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        // A recorder that refuses never opens the track: the producer then gives up.
        std::atomic<bool> recorderEnded{false};
        std::thread producer([&] {
            int fd = -1;
            while (fd < 0 && !recorderEnded) {
                fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd < 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            if (fd < 0) return;
            ::fcntl(fd, F_SETFL, 0);
            (void)!::write(fd, stream.data(), stream.size());
            ::close(fd);
        });
        auto lines = Recorder("-tsize=" + std::to_string(tsize) + "s -v speed=8 gracetime=0 dev=" + address + " " + fifo, &exit);
        recorderEnded = true;
        producer.join();
        return lines;
    }

    TempFolder temp;
    VirtualDrives drives{temp / "drives"};
};

TEST_F(VirtualDriveTest, ScanAndCapabilitiesAsTheProgramReadsThem) {
    Drive("a", "9,0,0", "DVD-R", "empty", 2298496);
    Drive("b", "9,1,0", "DVD+RW", "complete", 2295104, "");
    WriteFileBytes(drives.folder + "/broken.ini", "address=nine\n");
    platform::ChildExit exit;
    const auto lines = Recorder("-scanbus", &exit);
    EXPECT_TRUE(exit.Succeeded());
    SVCDRecord engine(platform::Widen(BinFolder()));
    DriveTable noDrives(26);
    const auto burners = engine.ParseScanOutput(lines, noDrives);
    ASSERT_EQ(burners.size(), 2u) << testing::PrintToString(lines);
    EXPECT_EQ(burners[0].address, "9,0,0");
    EXPECT_EQ(burners[0].displayName, "VIDORRA  Virtual DVD-R   ");
    EXPECT_EQ(burners[1].address, "9,1,0");
    EXPECT_EQ(burners[1].driveLetter, "");
    EXPECT_NE(std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find("broken.ini skipped") != std::string::npos; }),
              lines.end());

    EXPECT_EQ(SVCDRecord::ParseSpeeds(Recorder("-prcap -v dev=9,0,0")),
              (std::vector<SVBurnerSpeed>{{4}, {8}, {16}}));
    EXPECT_TRUE(SVCDRecord::ParseSpeeds(Recorder("-prcap -v dev=9,1,0")).empty());
    Recorder("-prcap -v dev=7,7,7", &exit);
    EXPECT_EQ(exit.code, 3);
}

TEST_F(VirtualDriveTest, MediumQueryInEveryState) {
    const struct {
        const char* name;
        const char* media;
        const char* status;
        int64_t sectors;
        bool erasable, blank;
    } cases[] = {
        {"dvdr", "DVD-R", "empty", 2298496, false, true},
        {"dvdrw", "DVD-RW", "complete", 2297888, true, false},
        {"dvdprw", "DVD+RW", "incomplete", 2295104, true, false},
        {"dvdram", "DVD-RAM", "empty", 2236704, true, true},
        {"cdr", "CD-R", "empty", 359847, false, true},
        {"cdrw", "CD-RW", "complete", 359847, true, false},
    };
    int target = 0;
    for (const auto& c : cases) {
        const std::string address = "9," + std::to_string(target++) + ",0";
        Drive(c.name, address, c.media, c.status, c.sectors);
        const SVMedia media = SVCDRecord::ParseMedium(Recorder("-v -minfo -dev=" + address));
        EXPECT_EQ(media.mediaType, c.media) << c.name;
        EXPECT_EQ(media.discPresent, 1) << c.name;
        EXPECT_EQ(media.erasable, c.erasable) << c.name;
        EXPECT_EQ(media.blank, c.blank) << c.name;
        EXPECT_EQ(media.physicalSize, c.sectors * 2048) << c.name;
    }
    Drive("empty", "9,9,0", "none", "empty", 0);
    platform::ChildExit exit;
    const SVMedia none = SVCDRecord::ParseMedium(Recorder("-v -minfo -dev=9,9,0", &exit));
    EXPECT_EQ(none.mediaType, "");
    EXPECT_EQ(none.discPresent, 0);
    EXPECT_NE(exit.code, 0);
}

// A genisoimage DVD-Video stream through a FIFO onto a blank DVD-R: the image is that stream
// and a DVD player's reader sees the title; then the disc is complete and takes no more.
TEST_F(VirtualDriveTest, WriteDvdVideoStreamOntoBlankDvdR) {
    const std::string image = Drive("dvdr", "9,0,0", "DVD-R", "empty", 2298496);
    const std::string folder = temp / "disc";
    ASSERT_TRUE(MakeDvdFolder(folder, 1));
    const std::string iso = temp / "stream.iso";
    ShellOutput("'" + BinFolder() + "/mkisofs' -V HOLIDAY -dvd-video -o '" + iso + "' '" + folder + "'");
    const std::string stream = ReadFileBytes(iso);
    ASSERT_GT(stream.size(), 100000u);
    ASSERT_EQ(stream.size() % 2048, 0u);

    platform::ChildExit exit;
    const auto lines = WriteThroughFifo("9,0,0", stream, static_cast<int64_t>(stream.size() / 2048), exit);
    EXPECT_TRUE(exit.Succeeded()) << testing::PrintToString(lines);
    EXPECT_EQ(ReadFileBytes(image), stream);
    const DvdLayout dvd = ReadDvd(image);
    EXPECT_EQ(dvd.discTitle, "HOLIDAY") << dvd.output;
    EXPECT_EQ(dvd.titles, 1);
    EXPECT_EQ(Status("dvdr"), "complete");
    // The program reads the written and total megabytes of "Track" lines, then "Fixating...".
    std::vector<std::string> tracks;
    for (const auto& line : lines) {
        if (line.rfind("Track", 0) == 0) tracks.push_back(line);
    }
    ASSERT_FALSE(tracks.empty());
    EXPECT_EQ(tracks.back(), tools::TrackLine(static_cast<int64_t>(stream.size()), static_cast<int64_t>(stream.size())));
    const auto fixating = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("Fixating...", 0) == 0; });
    EXPECT_NE(fixating, lines.end());

    // Write-once and complete: refused, and the image stays as it was.
    const auto refused = WriteThroughFifo("9,0,0", stream, static_cast<int64_t>(stream.size() / 2048), exit);
    EXPECT_NE(exit.code, 0);
    EXPECT_NE(refused.back().find("not blank"), std::string::npos) << refused.back();
    EXPECT_EQ(ReadFileBytes(image), stream);
}

TEST_F(VirtualDriveTest, BlankingAndTheRefusals) {
    const std::string rw = Drive("rw", "9,0,0", "DVD-RW", "complete", 2297888);
    WriteFileBytes(rw, std::string(8192, 'd'));
    const std::string plusRw = Drive("plusrw", "9,1,0", "DVD+RW", "complete", 2295104);
    WriteFileBytes(plusRw, std::string(8192, 'd'));
    Drive("small", "9,2,0", "DVD-R", "empty", 10);
    Drive("cdr", "9,3,0", "CD-R", "empty", 359847);
    Drive("none", "9,4,0", "none", "empty", 0);
    platform::ChildExit exit;

    const struct {
        const char* name;
        std::string address;
        int64_t sectors;
        std::string line;
    } refusals[] = {
        {"a rewritable disc with data", "9,0,0", 4, "not blank"},
        {"a disc too small", "9,2,0", 11, "Data does not fit on current disk"},
        {"no disc", "9,4,0", 4, "No disk"},
    };
    for (const auto& r : refusals) {
        const auto lines = WriteThroughFifo(r.address, std::string(static_cast<size_t>(r.sectors) * 2048, 'x'), r.sectors, exit);
        EXPECT_NE(exit.code, 0) << r.name;
        ASSERT_FALSE(lines.empty()) << r.name;
        EXPECT_NE(lines.back().find(r.line), std::string::npos) << r.name << ": " << lines.back();
    }
    EXPECT_EQ(ReadFileBytes(rw), std::string(8192, 'd'));

    // A fast blank of a DVD-RW empties it; then it takes a write.
    auto lines = Recorder("gracetime=0 blank=fast -force dev=9,0,0", &exit);
    EXPECT_TRUE(exit.Succeeded()) << testing::PrintToString(lines);
    EXPECT_EQ(Status("rw"), "empty");
    EXPECT_EQ(std::filesystem::file_size(rw), 0u);
    EXPECT_TRUE(SVCDRecord::ParseMedium(Recorder("-v -minfo -dev=9,0,0")).blank);
    WriteThroughFifo("9,0,0", std::string(4096, 'n'), 2, exit);
    EXPECT_TRUE(exit.Succeeded());
    EXPECT_EQ(ReadFileBytes(rw), std::string(4096, 'n'));

    // A DVD+RW is overwritten without blanking.
    WriteThroughFifo("9,1,0", std::string(2048, 'p'), 1, exit);
    EXPECT_TRUE(exit.Succeeded());
    EXPECT_EQ(ReadFileBytes(plusRw), std::string(2048, 'p'));

    for (const std::string address : {"9,3,0", "9,4,0"}) {
        lines = Recorder("gracetime=0 blank=fast -force dev=" + address, &exit);
        EXPECT_NE(exit.code, 0) << address;
    }

    // A stream that ends before -tsize leaves a write-once disc unusable, as a real one.
    lines = WriteThroughFifo("9,3,0", std::string(2048, 'c'), 5, exit);
    EXPECT_NE(exit.code, 0);
    EXPECT_NE(lines.back().find("premature end"), std::string::npos) << lines.back();
    EXPECT_EQ(Status("cdr"), "incomplete");

    for (const std::string command : {"-dev 9,0,0 -eject", "-reset dev=9,0,0"}) {
        lines = Recorder(command, &exit);
        EXPECT_TRUE(exit.Succeeded()) << command;
        EXPECT_FALSE(lines.empty()) << command;
    }
}

}  // namespace
