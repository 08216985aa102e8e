#include "tests/support/VirtualDrives.h"

#include <cstdlib>
#include <filesystem>

#include "tests/support/FileText.h"

VirtualDrives::VirtualDrives(const std::string& folder) : folder(folder) {
    std::filesystem::create_directories(folder);
    ::setenv("VIDORRA_VIRTUAL_DRIVES", folder.c_str(), 1);
}

VirtualDrives::~VirtualDrives() { ::unsetenv("VIDORRA_VIRTUAL_DRIVES"); }

std::string VirtualDrives::Add(const std::string& name, const std::string& address, const std::string& media,
                               const std::string& status, int64_t sectors, const std::string& content, const std::string& speeds) {
    const std::string image = folder + "/" + name + ".iso";
    WriteFileBytes(folder + "/" + name + ".ini", "address=" + address + "\nproduct=Virtual " + media + "\nmedia=" + media +
                                                     "\nstatus=" + status + "\nsectors=" + std::to_string(sectors) +
                                                     "\nspeeds=" + speeds + "\nimage=" + image + "\n");
    WriteFileBytes(image, content);
    return image;
}

std::string VirtualDrives::Status(const std::string& name) const {
    const std::string text = ReadFileBytes(folder + "/" + name + ".ini");
    const size_t at = text.find("status=");
    if (at == std::string::npos) return "";
    return text.substr(at + 7, text.find('\n', at) - at - 7);
}
