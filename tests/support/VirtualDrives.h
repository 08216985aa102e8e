#pragma once
#include <cstdint>
#include <string>

// A folder of virtual drives for the recorder tool, named in VIDORRA_VIRTUAL_DRIVES for
// this test program and every tool it starts; removed with the folder.
class VirtualDrives {
public:
    explicit VirtualDrives(const std::string& folder);
    ~VirtualDrives();
    VirtualDrives(const VirtualDrives&) = delete;
    VirtualDrives& operator=(const VirtualDrives&) = delete;

    // Adds a drive; returns its image path (filled with `content`).
    std::string Add(const std::string& name, const std::string& address, const std::string& media, const std::string& status,
                    int64_t sectors, const std::string& content = "", const std::string& speeds = "4,8,16");
    // The status= value the drive file holds now.
    std::string Status(const std::string& name) const;

    const std::string folder;
};
