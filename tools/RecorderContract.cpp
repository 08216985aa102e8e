#include "tools/RecorderContract.h"

#include <cstdio>

namespace tools {
namespace {

bool TakeValue(const std::string& arg, const std::string& prefix, std::string& value) {
    if (arg.compare(0, prefix.size(), prefix) != 0) return false;
    value = arg.substr(prefix.size());
    return true;
}

bool IsNumber(const std::string& text) {
    if (text.empty() || text.size() > 12) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

std::string PadTo(std::string text, size_t column) {
    if (text.size() < column) text.append(column - text.size(), ' ');
    return text;
}

std::optional<RecorderCommand> Addressed(RecorderRun run, const std::string& address, std::string& error) {
    if (!IsRecorderAddress(address)) {
        error = "not a device address: " + address;
        return std::nullopt;
    }
    RecorderCommand command;
    command.run = run;
    command.address = address;
    return command;
}

std::optional<RecorderCommand> ParseWrite(const std::vector<std::string>& args, std::string& error) {
    std::string tsize, speed, address;
    if (args.size() != 6 || !TakeValue(args[0], "-tsize=", tsize) || args[1] != "-v" || !TakeValue(args[2], "speed=", speed) ||
        args[3] != "gracetime=0" || !TakeValue(args[4], "dev=", address) || args[5].empty()) {
        error = "expected -tsize=Ns -v speed=N gracetime=0 dev=ADDR TRACK";
        return std::nullopt;
    }
    if (tsize.size() < 2 || tsize.back() != 's' || !IsNumber(tsize.substr(0, tsize.size() - 1))) {
        error = "not a sector count: -tsize=" + tsize;
        return std::nullopt;
    }
    if (!IsNumber(speed)) {
        error = "not a speed: speed=" + speed;
        return std::nullopt;
    }
    auto command = Addressed(RecorderRun::write, address, error);
    if (!command) return command;
    command->tsizeSectors = std::stoll(tsize.substr(0, tsize.size() - 1));
    command->speed = std::stoi(speed);
    command->track = args[5];
    return command;
}

}  // namespace

bool IsRecorderAddress(const std::string& text) {
    int parts = 0;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!IsNumber(part) || part.size() > 3) return false;
        ++parts;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return parts == 3;
}

std::optional<RecorderCommand> ParseRecorderCommand(const std::vector<std::string>& args, std::string& error) {
    std::string address;
    if (args == std::vector<std::string>{"-scanbus"}) return RecorderCommand{};
    if (args.size() == 3 && args[0] == "-prcap" && args[1] == "-v" && TakeValue(args[2], "dev=", address)) {
        return Addressed(RecorderRun::capabilities, address, error);
    }
    if (args.size() == 3 && args[0] == "-v" && args[1] == "-minfo" && TakeValue(args[2], "-dev=", address)) {
        return Addressed(RecorderRun::medium, address, error);
    }
    if (args.size() == 3 && args[0] == "-dev" && args[2] == "-eject") return Addressed(RecorderRun::eject, args[1], error);
    if (args.size() == 2 && args[0] == "-reset" && TakeValue(args[1], "dev=", address)) {
        return Addressed(RecorderRun::reset, address, error);
    }
    if (args.size() == 4 && args[0] == "gracetime=0" && args[1] == "blank=fast" && args[2] == "-force" &&
        TakeValue(args[3], "dev=", address)) {
        return Addressed(RecorderRun::fastBlank, address, error);
    }
    if (!args.empty() && args[0].rfind("-tsize=", 0) == 0) return ParseWrite(args, error);
    error = "unsupported command line";
    return std::nullopt;
}

bool MediumState::Erasable() const {
    return type == "DVD-RW" || type == "DVD+RW" || type == "DVD-RAM" || type == "CD-RW";
}

bool MediumState::Overwritable() const { return type == "DVD+RW" || type == "DVD-RAM"; }

bool MediumState::Recognised() const {
    for (const char* known : {"DVD-R", "DVD+R", "DVD-RW", "DVD+RW", "DVD-RAM", "CD-R", "CD-RW"}) {
        if (type == known) return true;
    }
    return false;
}

std::string QuotedField(const std::string& text, size_t width) {
    std::string field = text.substr(0, width);
    for (char& c : field) {
        if (c == '\'' || c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return "'" + PadTo(field, width) + "'";
}

std::vector<std::string> ScanLines(const std::vector<DriveIdentity>& drives) {
    std::vector<std::string> lines = {"Cdrecord-compatible disc recorder of Vidorra, over libburn",
                                      "scsidev: drives found: " + std::to_string(drives.size())};
    for (const DriveIdentity& drive : drives) {
        lines.push_back("\t" + drive.address + "\t" + std::to_string(drive.number) + ") " + QuotedField(drive.vendor, 8) + " " +
                        QuotedField(drive.product, 16) + " " + QuotedField(drive.revision, 4) + " Removable CD-ROM");
    }
    return lines;
}

std::vector<std::string> CapabilityLines(const DriveIdentity& drive, const std::vector<int>& dvdSpeeds) {
    std::vector<std::string> lines = {"Device type    : Removable CD-ROM", "Vendor_info    : " + QuotedField(drive.vendor, 8),
                                      "Identification : " + QuotedField(drive.product, 16),
                                      "Revision       : " + QuotedField(drive.revision, 4),
                                      "  Number of supported write speeds: " + std::to_string(dvdSpeeds.size())};
    if (dvdSpeeds.empty()) lines.push_back("  Write Speed: == NONE");
    for (size_t i = 0; i < dvdSpeeds.size(); ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "  Write Speed: #%zu %6d kB/s == %2dx DVD", i, dvdSpeeds[i] * kDvdKilobytesPerFactor,
                      dvdSpeeds[i]);
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> MediumLines(const DriveIdentity& drive, const MediumState& medium) {
    std::vector<std::string> lines = {"Device type    : Removable CD-ROM", "Vendor_info    : " + QuotedField(drive.vendor, 8),
                                      "Identification : " + QuotedField(drive.product, 16)};
    if (!medium.Present()) {
        lines.push_back("cdrecord: No disk / Wrong disk!");
        return lines;
    }
    // The type starts at column 26 and the sector count after column 13.
    lines.push_back(PadTo("Mounted media type:", 26) + medium.type);
    lines.push_back(medium.Erasable() ? "Disk Is erasable" : "Disk Is not erasable");
    lines.push_back(PadTo("disk status:", 26) + medium.status);
    lines.push_back("phys size:...   " + std::to_string(medium.sectors));
    return lines;
}

std::string TrackLine(int64_t writtenBytes, int64_t totalBytes) {
    char line[96];
    std::snprintf(line, sizeof line, "Track 01: %4lld of %4lld MB written.", static_cast<long long>(writtenBytes >> 20),
                  static_cast<long long>(totalBytes >> 20));
    return line;
}

}  // namespace tools
