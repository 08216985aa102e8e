#include "tools/VirtualDrive.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace tools {
namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ParseSpeeds(const std::string& text, std::vector<int>& speeds) {
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        item = Trimmed(item);
        if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos || item.size() > 3) return false;
        speeds.push_back(std::stoi(item));
    }
    return true;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

bool ParseVirtualDrive(const std::string& text, VirtualDrive& drive, std::string& error) {
    std::map<std::string, std::string> values;
    std::stringstream input(text);
    std::string line;
    while (std::getline(input, line)) {
        drive.lines.push_back(line);
        const std::string trimmed = Trimmed(line);
        if (trimmed.empty() || trimmed[0] == '[' || trimmed[0] == ';' || trimmed[0] == '#') continue;
        const size_t equals = trimmed.find('=');
        if (equals == std::string::npos) continue;
        values[Trimmed(trimmed.substr(0, equals))] = Trimmed(trimmed.substr(equals + 1));
    }
    drive.identity.address = values["address"];
    drive.identity.vendor = values.count("vendor") ? values["vendor"] : "VIDORRA";
    drive.identity.product = values.count("product") ? values["product"] : "Virtual DVD-RW";
    drive.identity.revision = values.count("revision") ? values["revision"] : "1.0";
    drive.media = values["media"];
    drive.image = values["image"];
    if (!IsRecorderAddress(drive.identity.address)) {
        error = "address is not three numbers with commas: '" + drive.identity.address + "'";
        return false;
    }
    if (drive.media != "none" && !drive.media.empty()) {
        drive.medium.type = drive.media;
        if (!drive.medium.Recognised()) {
            error = "unknown media '" + drive.media + "'";
            return false;
        }
    }
    drive.medium.status = values["status"].empty() ? "empty" : values["status"];
    if (drive.medium.status != "empty" && drive.medium.status != "incomplete" && drive.medium.status != "complete") {
        error = "status must be empty, incomplete or complete: '" + drive.medium.status + "'";
        return false;
    }
    const std::string sectors = values["sectors"];
    if (sectors.empty() || sectors.find_first_not_of("0123456789") != std::string::npos || sectors.size() > 12) {
        error = "sectors must be a number: '" + sectors + "'";
        return false;
    }
    drive.medium.sectors = std::stoll(sectors);
    if (!ParseSpeeds(values["speeds"], drive.speeds)) {
        error = "speeds must be numbers with commas: '" + values["speeds"] + "'";
        return false;
    }
    if (drive.image.empty() || drive.image[0] != '/') {
        error = "image must be an absolute path: '" + drive.image + "'";
        return false;
    }
    return true;
}

std::vector<VirtualDrive> LoadVirtualDrives(const std::string& folder, std::vector<std::string>& problems) {
    std::vector<std::string> files;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        if (entry.path().extension() == ".ini" && entry.is_regular_file(ignored)) files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    std::vector<VirtualDrive> drives;
    for (const std::string& file : files) {
        VirtualDrive drive;
        drive.file = file;
        std::string error;
        if (ParseVirtualDrive(ReadText(file), drive, error)) {
            drive.identity.number = static_cast<int>(drives.size());
            drives.push_back(drive);
        } else {
            problems.push_back("cdrecord: virtual drive " + file + " skipped: " + error);
        }
    }
    return drives;
}

std::string VirtualDrivesFolder() {
    const char* folder = std::getenv(kVirtualDrivesVariable);
    return folder ? folder : "";
}

bool SaveMediumStatus(VirtualDrive& drive, const std::string& status) {
    std::string text;
    bool replaced = false;
    for (const std::string& line : drive.lines) {
        const std::string trimmed = Trimmed(line);
        const size_t equals = trimmed.find('=');
        if (equals != std::string::npos && Trimmed(trimmed.substr(0, equals)) == "status") {
            text += "status=" + status + "\n";
            replaced = true;
        } else {
            text += line + "\n";
        }
    }
    if (!replaced) text += "status=" + status + "\n";
    const std::string temporary = drive.file + ".saving";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) return false;
    }
    if (std::rename(temporary.c_str(), drive.file.c_str()) != 0) return false;
    drive.medium.status = status;
    return true;
}

}  // namespace tools
