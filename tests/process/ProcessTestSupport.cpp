#include "tests/process/ProcessTestSupport.h"

#include <filesystem>

#include "platform/Fifo.h"

std::vector<std::string> LeftoverPipes() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(platform::PrivatePipeFolder(), error)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}
