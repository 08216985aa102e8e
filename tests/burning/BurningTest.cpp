#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <regex>
#include <sstream>
#include <thread>

#include "burning/SVCDRecord.h"
#include "platform/CommandLine.h"
#include "platform/Fifo.h"
#include "platform/TextCodec.h"
#include "tests/support/Clips.h"
#include "tests/support/DvdReader.h"
#include "tests/support/FileText.h"
#include "tests/support/Leftovers.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualDrives.h"

namespace {

using namespace std::chrono_literals;

// What the burner's hooks received (plain functions without a context).
struct Hooks {
    static Hooks& Get() {
        static Hooks hooks;
        return hooks;
    }
    static void Line(std::wstring text) {
        auto& h = Get();
        std::lock_guard<std::mutex> lock(h.mutex);
        h.lines.push_back(platform::Narrow(text));
    }
    static void Finished(int32_t flag, std::wstring text) {
        auto& h = Get();
        std::lock_guard<std::mutex> lock(h.mutex);
        h.finished.emplace_back(flag, platform::Narrow(text));
        h.changed.notify_all();
    }
    void Reset() {
        std::lock_guard<std::mutex> lock(mutex);
        lines.clear();
        finished.clear();
    }
    bool WaitFinished(std::chrono::seconds timeout) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return !finished.empty(); });
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> lines;
    std::vector<std::pair<int32_t, std::string>> finished;
};

_SCSI_ADDRESS_EXT Record(bool isCdRom, bool hasAddress, uint8_t port = 0, uint8_t target = 0, uint8_t lun = 0, uint8_t path = 0) {
    _SCSI_ADDRESS_EXT r;
    r.isCdRom = isCdRom;
    r.hasAddress = hasAddress;
    r.PortNumber = port;
    r.TargetId = target;
    r.Lun = lun;
    r.PathId = path;
    return r;
}

std::vector<std::string> Names(const std::vector<SVBurner>& burners) {
    std::vector<std::string> out;
    for (const auto& b : burners) out.push_back(b.address + "|" + b.driveLetter + "|" + b.displayName);
    return out;
}

const std::vector<std::string> kHeader = {"Cdrecord-ProDVD-ProBD-Clone 3.02", "scsidev: 'ATA:'"};

TEST(ScanParsing, DeviceLinesLettersAndNames) {
    const std::string padded = "\t1,0,0\t  1) 'HL-D    ' 'DVDRAM GH24NSD1 ' 'LG00' Removable CD-ROM";
    const struct {
        const char* name;
        std::vector<std::string> lines;
        std::vector<std::pair<size_t, _SCSI_ADDRESS_EXT>> drives;  // letter index, record
        std::vector<std::string> burners;
    } cases[] = {
        {"padded fields, drive E answers the address",
         {padded},
         {{4, Record(true, true, 1, 0, 0, 7)}},
         {"1,0,0|E|[E] HL-D     DVDRAM GH24NSD1 "}},
        {"no CD-ROM", {"\t1,0,0\t  1) 'HL-D    ' 'DVDRAM GH24NSD1 ' 'LG00' Removable Disk"}, {}, {}},
        {"CD-ROM only inside the product", {"\t1,0,0\t  1) 'HL' 'CD-ROM X' 'LG00' Removable"}, {}, {}},
        {"no leading tab", {"1,0,0\t  1) 'A' 'B' 'C' Removable CD-ROM"}, {}, {}},
        {"a missing quote", {"\t1,0,0\t  1) 'A' 'B' 'C Removable CD-ROM"}, {}, {}},
        {"fallback letters in order",
         {"\t2,0,0\t1) 'A' 'One' 'r' Removable CD-ROM", "\t3,0,0\t2) 'B' 'Two' 'r' Removable CD-ROM"},
         {{3, Record(true, false)}, {5, Record(true, false)}},
         {"2,0,0|D|[D] A One", "3,0,0|F|[F] B Two"}},
        {"an address without CdRom is never chosen",
         {"\t1,0,0\t1) 'A' 'One' 'r' Removable CD-ROM"},
         {{2, Record(false, true, 1, 0, 0)}},
         {"1,0,0||A One"}},
        {"addresses compare as text", {"\t1, 0,0\t1) 'A' 'One' 'r' Removable CD-ROM"}, {{2, Record(true, true, 1, 0, 0)}}, {"1, 0,0||A One"}},
    };
    SVCDRecord engine(L"/opt/vidorra");
    for (const auto& c : cases) {
        DriveTable table(26);
        for (const auto& [index, record] : c.drives) table[index] = record;
        std::vector<std::string> lines = kHeader;
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        const auto burners = engine.ParseScanOutput(lines, table);
        EXPECT_EQ(Names(burners), c.burners) << c.name;
        for (const auto& b : burners) EXPECT_EQ(b.toolFolder, L"/opt/vidorra");
    }
    // The first two lines are never device lines.
    DriveTable table(26);
    EXPECT_TRUE(engine.ParseScanOutput({padded, padded}, table).empty());
}

TEST(SpeedParsing, WriteSpeedLines) {
    const std::vector<SVBurnerSpeed> speeds = SVCDRecord::ParseSpeeds({
        "  Write Speed: == 8x DVD",
        "  Write Speed: == NONE x DVD",
        "  Write Speed: == fast x DVD",
        "  Write Speed: #1 == 16x DVD",
        "  Write Speed: #2 == 16x DVD",
        "Write Speed: 4",
        "  Read Speed: == 12x DVD",
        "  Write Speed: == 99999999999x DVD",
    });
    EXPECT_EQ(speeds, (std::vector<SVBurnerSpeed>{{8}, {0}, {16}, {16}, {0}, {2147483647}}));
}

TEST(MediumParsing, SubstringAndColumnRules) {
    const std::string type = "Mounted media type:       ";
    const struct {
        const char* name;
        std::vector<std::string> lines;
        std::string mediaType;
        bool erasable, blank;
        int64_t size;
    } cases[] = {
        {"status empty", {"disk status:              empty"}, "", false, true, 0},
        {"status complete", {"disk status:              complete"}, "", false, false, 0},
        {"status incomplete", {"disk status:              incomplete/appendable"}, "", false, false, 0},
        {"no status line", {"phys size:...   1000"}, "", false, false, 2048000},
        {"beyond 32 bits", {"phys size:...   2500000"}, "", false, false, 5120000000},
        {"type with trailing blanks", {type + "DVD-RW  "}, "DVD-RW  ", false, false, 0},
        {"type line too short", {"Mounted media type:"}, "", false, false, 0},
        {"later erasable line wins", {"Disk Is erasable", "Disk Is not erasable"}, "", false, false, 0},
        {"later erasable line wins again", {"Disk Is not erasable", "Disk Is erasable"}, "", true, false, 0},
    };
    for (const auto& c : cases) {
        const SVMedia media = SVCDRecord::ParseMedium(c.lines);
        EXPECT_EQ(media.mediaType, c.mediaType) << c.name;
        EXPECT_EQ(media.discPresent, c.mediaType.empty() ? 0 : 1) << c.name;
        EXPECT_EQ(media.erasable, c.erasable) << c.name;
        EXPECT_EQ(media.blank, c.blank) << c.name;
        EXPECT_EQ(media.physicalSize, c.size) << c.name;
    }
}

TEST(BurnerRecord, CopyDropsHooksAssignmentKeepsThem) {
    SVBurner burner(L"/opt/v");
    burner.address = "1,0,0";
    burner.speed = 8;
    burner.speeds = {{4}, {8}};
    burner.finishedHook = Hooks::Finished;
    burner.lineHook = Hooks::Line;
    const SVBurner copy(burner);
    EXPECT_EQ(copy.address, "1,0,0");
    EXPECT_EQ(copy.speed, 8);
    EXPECT_EQ(copy.speeds.size(), 2u);
    EXPECT_EQ(copy.toolFolder, L"/opt/v");
    EXPECT_EQ(copy.finishedHook, nullptr);
    EXPECT_EQ(copy.lineHook, nullptr);
    SVBurner assigned;
    assigned = burner;
    EXPECT_EQ(assigned.finishedHook, Hooks::Finished);
    EXPECT_EQ(assigned.lineHook, Hooks::Line);
    EXPECT_EQ(assigned.toolFolder, L"/opt/v");
}

TEST(BurnCommands, LabelIsOneArgumentAndSpeedIsWritten) {
    const struct {
        std::wstring label;
        std::vector<std::wstring> args;
    } cases[] = {
        {L"", {L"/v/mkisofs.exe", L"-dvd-video", L"-o", L"/p/in", L"/w/My Disc"}},
        {L"Summer 2026", {L"/v/mkisofs.exe", L"-V", L"Summer 2026", L"-dvd-video", L"-o", L"/p/in", L"/w/My Disc"}},
        {L"x -o /etc/passwd", {L"/v/mkisofs.exe", L"-V", L"x -o /etc/passwd", L"-dvd-video", L"-o", L"/p/in", L"/w/My Disc"}},
        {L"say \"hi\"", {L"/v/mkisofs.exe", L"-V", L"say \"hi\"", L"-dvd-video", L"-o", L"/p/in", L"/w/My Disc"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::SplitCommandLine(SVCDRecord::ImageCommand(L"/v", c.label, "/p/in", L"/w/My Disc")), c.args)
            << platform::Narrow(c.label);
    }
    EXPECT_EQ(SVCDRecord::ImageCommand(L"/v", L"", "/p/in", L"/w/d"), L"\"/v/mkisofs.exe\" -dvd-video -o /p/in  \"/w/d\"");
    SVBurner burner(L"/v");
    burner.address = "9,0,0";
    EXPECT_EQ(SVCDRecord::WriteCommand(burner, 2295104, "/p/out"),
              L"\"/v/cdrecord.exe\" -tsize=2295104s -v speed=0 gracetime=0 dev=9,0,0 /p/out");
}

TEST(BurnerList, IndexOutsideTheListGivesNoBurner) {
    SVCDRecord engine;
    EXPECT_EQ(engine.BurnerAt(0), nullptr);
    engine.burners.push_back(SVBurner(L"/v"));
    EXPECT_NE(engine.BurnerAt(0), nullptr);
    for (int index : {-1, 1, 7, 2147483647}) EXPECT_EQ(engine.BurnerAt(index), nullptr) << index;
    SVBurner stale;
    stale.address = "5,5,5";
    stale.speeds = {{2}};
    EXPECT_FALSE(engine.ReadCapabilities(stale));
    EXPECT_EQ(stale.speeds, std::vector<SVBurnerSpeed>{{2}});
}

// Burns end to end on virtual drives: the real recorder tool, image maker and relay.
class VirtualBurnTest : public testing::Test {
protected:
    void SetUp() override {
        folder = temp / "disc";
        ASSERT_TRUE(MakeDvdFolder(folder, 1));
        Hooks::Get().Reset();
    }

    std::string Drive(const std::string& name, const std::string& address, const std::string& media, const std::string& status,
                      int64_t sectors, const std::string& content = "") {
        return drives.Add(name, address, media, status, sectors, content, "4,8");
    }
    // The application object's way: a copy of the entry (copies start without hooks), then
    // the hooks set on it.
    void Select(SVCDRecord& engine, const std::string& address, SVBurner& burner) {
        for (const SVBurner& b : engine.burners) {
            if (b.address == address) burner = b;
        }
        ASSERT_EQ(burner.address, address);
        burner.finishedHook = Hooks::Finished;
        burner.lineHook = Hooks::Line;
    }
    std::pair<int32_t, std::string> AwaitEnd() {
        EXPECT_TRUE(Hooks::Get().WaitFinished(60s));
        std::this_thread::sleep_for(100ms);  // a second report would come now
        std::lock_guard<std::mutex> lock(Hooks::Get().mutex);
        EXPECT_EQ(Hooks::Get().finished.size(), 1u);
        return Hooks::Get().finished.empty() ? std::make_pair(-1, std::string()) : Hooks::Get().finished[0];
    }
    void ExpectNothingLeft() {
        // The relay thread may still be removing its FIFOs just after the report.
        EXPECT_TRUE(WaitUntil([] { return LeftoverPipes().empty(); }, 1s));
        EXPECT_TRUE(WaitUntil([] { return ChildPids().empty(); }, 1s));
    }
    std::string VolumeId(const std::string& image) { return ReadFileBytes(image).substr(16 * 2048 + 40, 32); }

    TempFolder temp;
    VirtualDrives drives{temp / "drives"};
    std::string folder;
};

TEST_F(VirtualBurnTest, ScanThenBurnABlankDvdR) {
    const std::string image = Drive("a", "9,0,0", "DVD-R", "empty", 2298496);
    Drive("b", "9,1,0", "DVD+RW", "complete", 2295104);
    SVCDRecord engine(platform::Widen(BinFolder()));
    engine.Scan();
    ASSERT_EQ(engine.burners.size(), 2u);
    EXPECT_EQ(engine.burners[0].address, "9,0,0");
    EXPECT_EQ(engine.burners[0].speeds, (std::vector<SVBurnerSpeed>{{4}, {8}}));

    SVBurner burner;
    Select(engine, "9,0,0", burner);
    const SVMedia media = engine.Inspect(burner);
    EXPECT_EQ(media.mediaType, "DVD-R");
    EXPECT_TRUE(media.blank);
    EXPECT_FALSE(media.erasable);
    {
        // Every line of the query reaches the hook once, in order, with the prefix.
        SVCommandLineProcess query;
        query.commandLine = SVCDRecord::ToolPath(platform::Widen(BinFolder()), L"cdrecord") + L" -v -minfo -dev=9,0,0";
        std::vector<std::string> expected;
        for (const auto& line : query.Run()) expected.push_back("[cdr] " + line);
        std::lock_guard<std::mutex> lock(Hooks::Get().mutex);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(Hooks::Get().lines, expected);
        EXPECT_TRUE(burner.onLine == nullptr && burner.linePrefix.empty()) << "the burner's runner is left as it was";
    }
    Hooks::Get().Reset();
    burner.speed = 8;
    engine.Burn(burner, platform::Widen(folder), L"HOLIDAY");
    EXPECT_EQ(AwaitEnd(), std::make_pair(1, std::string()));
    const DvdLayout dvd = ReadDvd(image);
    EXPECT_EQ(dvd.discTitle, "HOLIDAY") << dvd.output;
    EXPECT_EQ(dvd.titles, 1);
    // Image maker lines and recorder lines arrive with their prefixes, the tracks in order.
    std::vector<std::string> lines = Hooks::Get().lines;
    const auto mkfs = std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("[mkfs] ", 0) == 0; });
    EXPECT_GT(mkfs, 0);
    std::vector<std::string> tracks;
    for (const auto& line : lines) {
        if (line.rfind("[cdr] Track", 0) == 0) tracks.push_back(line);
    }
    ASSERT_FALSE(tracks.empty()) << testing::PrintToString(lines);
    EXPECT_TRUE(std::is_sorted(tracks.begin(), tracks.end()));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "[cdr] Fixating..."), lines.end());
    ExpectNothingLeft();
}

TEST_F(VirtualBurnTest, RewritableDiscsWithData) {
    const std::string rw = Drive("rw", "9,0,0", "DVD-RW", "complete", 2297888, std::string(4096, 'o'));
    const std::string plus = Drive("plus", "9,1,0", "DVD+RW", "complete", 2295104, std::string(4096, 'o'));
    SVCDRecord engine(platform::Widen(BinFolder()));
    engine.Scan();

    SVBurner burner;
    Select(engine, "9,0,0", burner);
    SVMedia media = engine.Inspect(burner);
    EXPECT_TRUE(media.erasable);
    EXPECT_FALSE(media.blank);
    EXPECT_EQ(media.discPresent, 1);
    Hooks::Get().Reset();
    engine.Blank(burner);
    EXPECT_EQ(AwaitEnd(), std::make_pair(1, std::string()));
    EXPECT_TRUE(engine.Inspect(burner).blank);
    Hooks::Get().Reset();
    engine.Burn(burner, platform::Widen(folder), L"Summer 2026");
    EXPECT_EQ(AwaitEnd(), std::make_pair(1, std::string()));
    EXPECT_EQ(VolumeId(rw), "Summer 2026" + std::string(21, ' '));
    EXPECT_EQ(ReadDvd(rw).titles, 1);

    // A DVD+RW needs no blanking: it is burned as it is.
    SVBurner plusBurner;
    Select(engine, "9,1,0", plusBurner);
    media = engine.Inspect(plusBurner);
    EXPECT_EQ(media.mediaType, "DVD+RW");
    EXPECT_FALSE(media.blank);
    Hooks::Get().Reset();
    engine.Burn(plusBurner, platform::Widen(folder), L"");
    EXPECT_EQ(AwaitEnd(), std::make_pair(1, std::string()));
    EXPECT_EQ(ReadDvd(plus).titles, 1);
    ExpectNothingLeft();
}

// A burn that cannot work still ends, once, with flag 0 and the reason, and leaves nothing.
TEST_F(VirtualBurnTest, FailedBurnsEndAndSayWhy) {
    Drive("small", "9,0,0", "DVD-R", "empty", 50);
    Drive("written", "9,1,0", "DVD-R", "complete", 2298496, std::string(2048, 'w'));
    Drive("fine", "9,2,0", "DVD-R", "empty", 2298496);
    // Tools folders with the real recorder and an image maker that is missing, or that
    // answers the size query and then delivers nothing or only part of the image.
    auto tools = [&](const std::string& name, const std::string& imageScript) {
        const std::string folder = temp / name;
        std::filesystem::create_directories(folder);
        std::filesystem::create_symlink(BinFolder() + "/cdrecord", folder + "/cdrecord");
        if (!imageScript.empty()) {
            WriteFileBytes(folder + "/mkisofs", "#!/bin/sh\ncase \"$*\" in *-print-size*) echo 'Total extents scheduled to be written = 1000';;\n*) " +
                                                    imageScript + ";; esac\n");
            std::filesystem::permissions(folder + "/mkisofs", std::filesystem::perms::owner_all);
        }
        return folder;
    };
    const struct {
        const char* name;
        std::string address;
        std::string toolFolder;
        std::string reason;
    } cases[] = {
        {"a disc too small", "9,0,0", BinFolder(), "Data does not fit on current disk"},
        {"a written DVD-R", "9,1,0", BinFolder(), "not blank"},
        {"no image maker", "9,2,0", tools("none", ""), "the track has no size"},
        {"an image maker that delivers nothing", "9,2,0", tools("nothing", "exit 1"), "premature end of the track after 0 of"},
        {"an image maker that stops early", "9,2,0", tools("early", "head -c 100000 /dev/zero > \"$5\"; exit 1"),
         "premature end of the track after 100000 of"},
    };
    for (const auto& c : cases) {
        Hooks::Get().Reset();
        SVCDRecord engine(platform::Widen(c.toolFolder));
        engine.Scan();
        SVBurner burner;
        Select(engine, c.address, burner);
        const auto started = std::chrono::steady_clock::now();
        engine.Burn(burner, platform::Widen(folder), L"X");
        const auto end = AwaitEnd();
        EXPECT_LT(std::chrono::steady_clock::now() - started, 30s) << c.name;
        EXPECT_EQ(end.first, 0) << c.name;
        EXPECT_NE(end.second.find(c.reason), std::string::npos) << c.name << ": " << end.second;
        ExpectNothingLeft();
    }
}

// Stand-in tools log their command lines: the reset ends before the size query, the image
// maker starts before the recorder, and each gets exactly the arguments of its contract.
TEST(BurnSequence, ToolsRunInOrderWithTheirArguments) {
    TempFolder temp;
    const std::string tools = temp / "tools", log = temp / "calls.log";
    std::filesystem::create_directories(tools);
    auto script = [&](const std::string& name, const std::string& body) {
        WriteFileBytes(tools + "/" + name, "#!/bin/sh\nprintf '" + name + "' >> '" + log + "'\nfor a in \"$@\"; do printf ' [%s]' \"$a\" >> '" +
                                               log + "'; done\necho >> '" + log + "'\n" + body + "\n");
        std::filesystem::permissions(tools + "/" + name, std::filesystem::perms::owner_all);
    };
    script("cdrecord", "case \"$1\" in -tsize=*) eval track=\\${$#}; cat \"$track\" > /dev/null;; esac");
    script("mkisofs", "case \"$*\" in *-print-size*) echo 'Total extents scheduled to be written = 77';;\n"
                      "*) printf 'image' > \"$5\";; esac");
    Hooks::Get().Reset();
    SVBurner burner(platform::Widen(tools));
    burner.address = "9,0,0";
    burner.speed = 0;
    burner.finishedHook = Hooks::Finished;
    SVCDRecord engine(platform::Widen(tools));
    engine.Burn(burner, platform::Widen(temp / "My Disc"), L"Summer 2026");
    ASSERT_TRUE(Hooks::Get().WaitFinished(30s));
    std::vector<std::string> calls;
    const std::regex pipe(platform::PrivatePipeFolder() + "/[a-j]+");
    std::stringstream lines(ReadFileBytes(log));
    for (std::string line; std::getline(lines, line);) calls.push_back(std::regex_replace(line, pipe, "PIPE"));
    EXPECT_EQ(calls, (std::vector<std::string>{
                         "cdrecord [-reset] [dev=9,0,0]",
                         "mkisofs [-dvd-video] [-print-size] [" + temp / "My Disc" + "]",
                         "mkisofs [-V] [Summer 2026] [-dvd-video] [-o] [PIPE] [" + temp / "My Disc" + "]",
                         "cdrecord [-tsize=77s] [-v] [speed=0] [gracetime=0] [dev=9,0,0] [PIPE]",
                     }));
}

}  // namespace
