#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The disc recorder's contract as pure functions: the command lines it accepts and the
// lines it prints, in the forms the program's parsers read (tab-led scan lines with quoted
// fields, "Write Speed:" lines, the medium lines at fixed columns, "Track" lines).
namespace tools {

enum class RecorderRun { scanBus, capabilities, medium, eject, reset, fastBlank, write };

struct RecorderCommand {
    RecorderRun run = RecorderRun::scanBus;
    std::string address;  // "host,target,lun"
    int64_t tsizeSectors = -1;  // -1 when not given
    int speed = 0;
    std::string track;  // the named pipe the write reads
};

// The arguments after the program name; nullopt (with the reason) for any other form.
std::optional<RecorderCommand> ParseRecorderCommand(const std::vector<std::string>& args, std::string& error);
bool IsRecorderAddress(const std::string& text);

struct DriveIdentity {
    std::string address;
    std::string vendor;
    std::string product;
    std::string revision;
    int number = 0;  // the device number printed before ")"
};

// What a medium query found; `type` empty means no medium.
struct MediumState {
    std::string type;  // DVD-R, DVD+R, DVD-RW, DVD+RW, DVD-RAM, CD-R, CD-RW
    std::string status;  // empty, incomplete or complete
    int64_t sectors = 0;

    bool Present() const { return !type.empty(); }
    bool Erasable() const;  // can be blanked
    bool Overwritable() const;  // takes a new image without blanking (DVD+RW, DVD-RAM)
    bool Recognised() const;
};

std::vector<std::string> ScanLines(const std::vector<DriveIdentity>& drives);
std::vector<std::string> CapabilityLines(const DriveIdentity& drive, const std::vector<int>& dvdSpeeds);
std::vector<std::string> MediumLines(const DriveIdentity& drive, const MediumState& medium);
std::string TrackLine(int64_t writtenBytes, int64_t totalBytes);

// A field padded with blanks (or cut) to its width, with no quote that would end it.
std::string QuotedField(const std::string& text, size_t width);

constexpr int kDvdKilobytesPerFactor = 1385;

}  // namespace tools
