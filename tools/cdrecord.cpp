// The disc recorder: the cdrecord command lines the program writes, over libburn's
// xorriso and xorrecord for real burners, and over image files for the virtual drives of
// VIDORRA_VIRTUAL_DRIVES.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tools/RecorderContract.h"
#include "tools/ToolSupport.h"
#include "tools/TrackFeed.h"
#include "tools/VirtualDrive.h"
#include "tools/XorrisoDrive.h"

namespace {

using namespace tools;

constexpr int kMediumProblem = 1;
constexpr int kNoDevice = 3;

struct Drive {
    DriveIdentity identity;
    std::optional<VirtualDrive> virtualDrive;
    std::string device;  // the real drive's /dev/srN
};

std::vector<Drive> AllDrives(std::vector<std::string>& problems) {
    std::vector<Drive> drives;
    for (const RealDrive& real : RealDrives()) drives.push_back({real.identity, std::nullopt, real.device.path});
    const std::string folder = VirtualDrivesFolder();
    if (!folder.empty()) {
        for (VirtualDrive& drive : LoadVirtualDrives(folder, problems)) drives.push_back({drive.identity, drive, ""});
    }
    return drives;
}

std::optional<Drive> FindDrive(const std::string& address) {
    std::vector<std::string> problems;
    for (Drive& drive : AllDrives(problems)) {
        if (drive.identity.address == address) return drive;
    }
    return std::nullopt;
}

void PrintAll(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) PrintLine(line);
}

std::vector<std::string> Collect(const std::vector<std::string>& command) {
    std::vector<std::string> lines;
    RunTool(command, {}, [&](const std::string& line) {
        lines.push_back(line);
    });
    return lines;
}

std::string Real(const char* name) { return FindRealTool(name); }

int ScanBus() {
    std::vector<std::string> problems;
    std::vector<DriveIdentity> identities;
    for (const Drive& drive : AllDrives(problems)) identities.push_back(drive.identity);
    PrintAll(ScanLines(identities));
    PrintAll(problems);
    return 0;
}

int Capabilities(const Drive& drive) {
    if (drive.virtualDrive) {
        PrintAll(CapabilityLines(drive.identity, drive.virtualDrive->speeds));
        return 0;
    }
    const std::string xorriso = Real("xorriso");
    if (xorriso.empty()) return Fail("cdrecord: xorriso is not installed", 127);
    PrintAll(CapabilityLines(drive.identity, DvdSpeedsFromXorriso(Collect(SpeedQueryCommand(xorriso, drive.device)))));
    return 0;
}

int Medium(const Drive& drive) {
    MediumState medium;
    if (drive.virtualDrive) {
        medium = drive.virtualDrive->medium;
    } else {
        const std::string xorriso = Real("xorriso");
        if (xorriso.empty()) return Fail("cdrecord: xorriso is not installed", 127);
        medium = MediumFromXorriso(Collect(MediumQueryCommand(xorriso, drive.device)));
    }
    PrintAll(MediumLines(drive.identity, medium));
    return medium.Present() ? 0 : kMediumProblem;
}

int PassThrough(const std::vector<std::string>& command) {
    if (command[0].empty()) return Fail("cdrecord: xorriso is not installed", 127);
    const RunResult run = RunTool(command, {}, [](const std::string& line) { PrintLine(line); });
    if (!run.started) return Fail("cdrecord: " + command[0] + " could not be started", 127);
    return run.status;
}

int Eject(const Drive& drive) {
    if (drive.virtualDrive) {
        PrintLine("cdrecord: virtual drive " + drive.identity.address + ": tray opened");
        return 0;
    }
    return PassThrough(EjectCommand(Real("xorriso"), drive.device));
}

bool EmptyImage(const std::string& image) {
    const int fd = ::open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

int FastBlank(Drive& drive) {
    if (!drive.virtualDrive) return PassThrough(FastBlankCommand(Real("xorrecord"), drive.device));
    VirtualDrive& virtualDrive = *drive.virtualDrive;
    if (!virtualDrive.medium.Present()) return Fail("cdrecord: No disk / Wrong disk!", kMediumProblem);
    if (!virtualDrive.medium.Erasable()) {
        return Fail("cdrecord: this media (" + virtualDrive.medium.type + ") does not support blanking", kMediumProblem);
    }
    if (!EmptyImage(virtualDrive.image)) return Fail("cdrecord: cannot empty the image " + virtualDrive.image, kMediumProblem);
    if (!SaveMediumStatus(virtualDrive, "empty")) return Fail("cdrecord: cannot save " + virtualDrive.file, kMediumProblem);
    PrintLine("Blanking time:   0.001s");
    return 0;
}

// Why a virtual drive refuses the write, or "".
std::string WriteRefusal(const VirtualDrive& drive, int64_t tsizeSectors) {
    const MediumState& medium = drive.medium;
    if (!medium.Present()) return "No disk / Wrong disk!";
    if (medium.status != "empty" && !medium.Overwritable()) {
        return "the " + medium.type + " in the drive is not blank (disk status " + medium.status + ")";
    }
    if (tsizeSectors > medium.sectors) {
        return "Data does not fit on current disk: " + std::to_string(tsizeSectors) + " sectors for " +
               std::to_string(medium.sectors);
    }
    return "";
}

int Write(Drive& drive, const RecorderCommand& command) {
    // A size of 0 is what the image size query gives when it failed: never an empty disc.
    if (command.tsizeSectors == 0) return Fail("cdrecord: -tsize=0s: the track has no size, nothing was written", 1);
    const std::string xorrecord = Real("xorrecord");
    if (xorrecord.empty()) return Fail("cdrecord: xorrecord is not installed", 127);
    std::string device = drive.device;
    int64_t capacity = -1;
    if (drive.virtualDrive) {
        const std::string refusal = WriteRefusal(*drive.virtualDrive, command.tsizeSectors);
        if (!refusal.empty()) return Fail("cdrecord: " + refusal, kMediumProblem);
        if (!EmptyImage(drive.virtualDrive->image)) return Fail("cdrecord: cannot write the image " + drive.virtualDrive->image, 1);
        device = "stdio:" + drive.virtualDrive->image;
        capacity = drive.virtualDrive->medium.sectors * 2048;
    }
    const int track = ::open(command.track.c_str(), O_RDONLY | O_CLOEXEC);
    if (track < 0) return Fail("cdrecord: cannot open the track " + command.track, 1);
    int toWriter[2];
    if (::pipe2(toWriter, O_CLOEXEC) != 0) return Fail("cdrecord: cannot make a pipe", 1);

    const int64_t tsizeBytes = command.tsizeSectors * 2048;
    PrintLine("Starting to write DVD at speed " + std::to_string(command.speed) + " on dev=" + command.address);
    TrackFeedResult feed;
    std::thread feeder([&] {
        feed = FeedTrack(track, toWriter[1], tsizeBytes, capacity,
                         [&](int64_t bytes) { PrintLine(TrackLine(bytes, tsizeBytes >= 0 ? tsizeBytes : bytes)); });
        ::close(toWriter[1]);
        ::close(track);
        if (feed.ok) PrintLine("Fixating...");
    });
    const RunResult run = RunTool(WriteCommand(xorrecord, device, command.speed, command.tsizeSectors), {},
                                  [](const std::string& line) { PrintLine(line); }, toWriter[0]);
    feeder.join();

    const bool ok = run.started && run.status == 0 && feed.ok;
    if (drive.virtualDrive) {
        // libburn pads the track; the image holds exactly what was written, like the disc's data.
        if (ok && ::truncate(drive.virtualDrive->image.c_str(), feed.bytes) != 0) return Fail("cdrecord: cannot trim the image", 1);
        if (ok || feed.bytes > 0) SaveMediumStatus(*drive.virtualDrive, ok ? "complete" : "incomplete");
    }
    if (!feed.ok) return Fail("cdrecord: " + feed.error, 1);
    if (!run.started) return Fail("cdrecord: xorrecord could not be started", 127);
    if (run.status != 0) return Fail("cdrecord: the write failed (xorrecord status " + std::to_string(run.status) + ")", 1);
    PrintLine("Fixating time:    0.000s");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away must fail a write, not end the recorder before it reports.
    ::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto command = ParseRecorderCommand(args, error);
    if (!command) return Fail("cdrecord: " + error);
    if (command->run == RecorderRun::scanBus) return ScanBus();
    auto drive = FindDrive(command->address);
    if (!drive) return Fail("cdrecord: No such device: dev=" + command->address, kNoDevice);
    switch (command->run) {
        case RecorderRun::capabilities:
            return Capabilities(*drive);
        case RecorderRun::medium:
            return Medium(*drive);
        case RecorderRun::eject:
            return Eject(*drive);
        case RecorderRun::reset:
            PrintLine("cdrecord: dev=" + command->address + ": no bus reset is needed");
            return 0;
        case RecorderRun::fastBlank:
            return FastBlank(*drive);
        case RecorderRun::write:
            return Write(*drive, *command);
        case RecorderRun::scanBus:
            break;
    }
    return 0;
}
