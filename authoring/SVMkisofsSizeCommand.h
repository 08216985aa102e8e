#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "process/SVCommandLineProcess.h"

// Measures the disc image of a DVD-Video folder: the image maker's print-size mode gives
// the number of 2048-byte sectors, which the recorder needs as the track size.
class SVMkisofsSizeCommand : public SVCommandLineProcess {
public:
    explicit SVMkisofsSizeCommand(std::wstring toolFolder) : SVCommandLineProcess(std::move(toolFolder)) {}
    ~SVMkisofsSizeCommand() override = default;

    // Runs the image maker on this thread; 0 when it reported no size.
    int32_t GetImageSize(const std::wstring& dvdFolder);
    static int32_t GetImageSize(const std::wstring& toolFolder, const std::wstring& dvdFolder);

    static std::wstring CommandLine(const std::wstring& toolFolder, const std::wstring& dvdFolder);
    // The number of the last "Total extents scheduled to be written =" line, else 0.
    static int32_t ParseImageSize(const std::vector<std::string>& lines);
};
