#include "tools/XorrisoDrive.h"

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

namespace tools {
namespace {

std::string SysfsText(const std::string& path) {
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    const size_t last = text.find_last_not_of(" \t\r\n");
    return last == std::string::npos ? "" : text.substr(0, last + 1);
}

}  // namespace

std::vector<int> DvdSpeedsFromXorriso(const std::vector<std::string>& lines) {
    static const std::regex offer(R"(^Write speed\s*:\s*(\d+)k\s*,\s*([0-9.]+)x([CDB]))");
    std::vector<int> speeds;
    std::smatch m;
    for (const std::string& line : lines) {
        if (std::regex_search(line, m, offer) && m[3] == "D") speeds.push_back(static_cast<int>(std::lround(std::stod(m[2]))));
    }
    return speeds;
}

MediumState MediumFromXorriso(const std::vector<std::string>& lines) {
    MediumState medium;
    std::smatch m;
    static const std::regex current(R"(^Media current:\s*(\S+))");
    static const std::regex blocks(R"(^Media blocks :.*,\s*(\d+) overall)");
    std::string status;
    for (const std::string& line : lines) {
        if (std::regex_search(line, m, current)) {
            medium.type = m[1];
        } else if (line.rfind("Media status :", 0) == 0) {
            status = line;
        } else if (std::regex_search(line, m, blocks)) {
            medium.sectors = std::stoll(m[1]);
        }
    }
    if (!medium.Recognised()) return MediumState{};
    if (status.find("is blank") != std::string::npos) {
        medium.status = "empty";
    } else if (status.find("is appendable") != std::string::npos) {
        medium.status = "incomplete";
    } else {
        medium.status = "complete";
    }
    return medium;
}

std::vector<std::string> SpeedQueryCommand(const std::string& xorriso, const std::string& device) {
    return {xorriso, "-outdev", device, "-list_speeds"};
}

std::vector<std::string> MediumQueryCommand(const std::string& xorriso, const std::string& device) {
    return {xorriso, "-outdev", device, "-toc"};
}

std::vector<std::string> EjectCommand(const std::string& xorriso, const std::string& device) {
    return {xorriso, "-outdev", device, "-eject", "all"};
}

std::vector<std::string> FastBlankCommand(const std::string& xorrecord, const std::string& device) {
    return {xorrecord, "-v", "dev=" + device, "blank=fast"};
}

std::vector<std::string> WriteCommand(const std::string& xorrecord, const std::string& device, int speed,
                                      long long tsizeSectors) {
    std::vector<std::string> command = {xorrecord, "-v", "dev=" + device, "speed=" + std::to_string(speed), "-nopad"};
    if (tsizeSectors >= 0) command.push_back("-tsize=" + std::to_string(tsizeSectors) + "s");
    command.push_back("-");
    return command;
}

std::vector<RealDrive> RealDrives() {
    std::vector<RealDrive> drives;
    const auto table = platform::OpticalDriveTable();
    for (size_t i = 0; i < table.size(); ++i) {
        if (!table[i].isCdRom || !table[i].hasAddress) continue;
        RealDrive drive;
        drive.device = table[i];
        const std::string sysfs = "/sys/block/sr" + std::to_string(i) + "/device/";
        drive.identity.address = platform::RecorderAddressOf(table[i]);
        drive.identity.vendor = SysfsText(sysfs + "vendor");
        drive.identity.product = SysfsText(sysfs + "model");
        drive.identity.revision = SysfsText(sysfs + "rev");
        drive.identity.number = table[i].host * 100 + table[i].id;
        drives.push_back(drive);
    }
    return drives;
}

}  // namespace tools
