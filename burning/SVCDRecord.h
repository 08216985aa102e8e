#pragma once
#include <string>
#include <vector>

#include "burning/DriveTable.h"
#include "burning/SVBurner.h"
#include "burning/SVMedia.h"
#include "process/SVCommandLineProcess.h"

// The disc-recorder engine: finds the burners the recorder tool can drive, reads their
// speeds, inspects media, and runs eject, blank and burn.
class SVCDRecord : public SVCommandLineProcess {
public:
    SVCDRecord() = default;
    explicit SVCDRecord(std::wstring toolFolder) : SVCommandLineProcess(std::move(toolFolder)) {}

    // Replaces `burners` from the recorder's bus scan, each with its speeds.
    virtual void Scan();
    bool ReadCapabilities(SVBurner& burner);
    void Eject(const SVBurner& burner);
    SVMedia Inspect(SVBurner& burner);
    // Erases a rewritable medium; returns once the recorder runs. finishedHook reports
    // the end: 1 when the recorder succeeded, else 0 with its last line.
    void Blank(const SVBurner& burner);
    // Resets the device, measures the folder's image, and streams the image maker into the
    // recorder; returns once both run. finishedHook reports the end as for Blank, after the
    // image maker has ended too.
    void Burn(const SVBurner& burner, const std::wstring& dvdFolder, const std::wstring& label);

    // The entry at index, or null when there is none (no burner found, a stale setting).
    const SVBurner* BurnerAt(int index) const;

    std::vector<SVBurner> ParseScanOutput(const std::vector<std::string>& lines);
    std::vector<SVBurner> ParseScanOutput(const std::vector<std::string>& lines, DriveTable& table) const;
    void ParseScanLine(const std::string& line, std::vector<SVBurner>& list, DriveTable& table) const;

    // The pure rules of the capability and medium queries.
    static std::vector<SVBurnerSpeed> ParseSpeeds(const std::vector<std::string>& lines);
    static SVMedia ParseMedium(const std::vector<std::string>& lines);

    // Command lines of the recorder and the image maker.
    static std::wstring ToolPath(const std::wstring& toolFolder, const std::wstring& fileName);
    static std::wstring ImageCommand(const std::wstring& toolFolder, const std::wstring& label, const std::string& pipe,
                                     const std::wstring& dvdFolder);
    static std::wstring WriteCommand(const SVBurner& burner, int32_t sectors, const std::string& pipe);

    std::vector<SVBurner> burners;
};
