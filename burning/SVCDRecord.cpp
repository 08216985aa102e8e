#include "burning/SVCDRecord.h"

#include <limits>

#include "authoring/SVMkisofsSizeCommand.h"
#include "burning/BurnRun.h"
#include "platform/CommandLine.h"
#include "platform/NumberText.h"
#include "platform/TextCodec.h"
#include "settings/PathHelpers.h"

namespace {

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

std::wstring W(const std::string& text) { return platform::Widen(text); }

}  // namespace

std::wstring SVCDRecord::ToolPath(const std::wstring& toolFolder, const std::wstring& fileName) {
    return platform::QuoteArgument(WithTrailingBackslash(toolFolder) + fileName);
}

void SVCDRecord::Scan() {
    commandLine = ToolPath(toolFolder, L"cdrecord") + L" -scanbus";
    burners = ParseScanOutput(Run());
    for (size_t i = 0; i < burners.size();) {
        SVBurner probe = burners[i];
        if (ReadCapabilities(probe)) {
            ++i;
        } else {
            burners.erase(burners.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

const SVBurner* SVCDRecord::BurnerAt(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= burners.size()) return nullptr;
    return &burners[static_cast<size_t>(index)];
}

std::vector<SVBurner> SVCDRecord::ParseScanOutput(const std::vector<std::string>& lines) {
    if (lines.empty()) return {};
    DriveTable table = BuildDriveTable();
    return ParseScanOutput(lines, table);
}

std::vector<SVBurner> SVCDRecord::ParseScanOutput(const std::vector<std::string>& lines, DriveTable& table) const {
    std::vector<SVBurner> list;
    for (size_t i = 2; i < lines.size(); ++i) ParseScanLine(lines[i], list, table);
    return list;
}

void SVCDRecord::ParseScanLine(const std::string& line, std::vector<SVBurner>& list, DriveTable& table) const {
    if (line.empty() || line[0] != '\t') return;
    const size_t tab = line.find('\t', 1);
    if (tab == std::string::npos) return;
    const std::string address = line.substr(1, tab - 1);
    size_t quotes[6];
    size_t from = tab;
    for (size_t& quote : quotes) {
        quote = line.find('\'', from);
        if (quote == std::string::npos) return;
        from = quote + 1;
    }
    const std::string vendor = line.substr(quotes[0] + 1, quotes[1] - quotes[0] - 1);
    const std::string product = line.substr(quotes[2] + 1, quotes[3] - quotes[2] - 1);
    if (line.find("CD-ROM", quotes[5] + 1) == std::string::npos) return;

    std::string letter;
    for (size_t i = 0; i < table.size() && letter.empty(); ++i) {
        const _SCSI_ADDRESS_EXT& r = table[i];
        const std::string text = std::to_string(r.PortNumber) + "," + std::to_string(r.TargetId) + "," + std::to_string(r.Lun);
        if (r.hasAddress && r.isCdRom && text == address) letter = std::string(1, static_cast<char>('A' + i));
    }
    for (size_t i = 0; i < table.size() && letter.empty(); ++i) {
        if (table[i].isCdRom && !table[i].hasAddress) {
            letter = std::string(1, static_cast<char>('A' + i));
            table[i].isCdRom = false;  // not given to a later device line
        }
    }
    SVBurner burner(toolFolder);
    burner.address = address;
    burner.driveLetter = letter;
    burner.displayName = (letter.empty() ? "" : "[" + letter + "] ") + vendor + " " + product;
    list.push_back(burner);
}

std::vector<SVBurnerSpeed> SVCDRecord::ParseSpeeds(const std::vector<std::string>& lines) {
    std::vector<SVBurnerSpeed> speeds;
    for (const std::string& line : lines) {
        if (!Contains(line, "Write Speed:")) continue;
        const size_t equals = line.find("==");
        const size_t start = equals == std::string::npos ? 1 : equals + 2;
        const size_t unit = line.find("x DVD");
        const size_t end = unit == std::string::npos ? line.size() : unit;
        const std::string value = start < end ? line.substr(start, end - start) : std::string();
        if (Contains(value, "NONE")) continue;
        const int64_t factor = platform::ClampInteger(platform::ExtractInteger(value), std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max());
        speeds.push_back({static_cast<int32_t>(factor)});
    }
    return speeds;
}

bool SVCDRecord::ReadCapabilities(SVBurner& burner) {
    for (SVBurner& entry : burners) {
        if (entry.address != burner.address) continue;
        commandLine = ToolPath(toolFolder, L"cdrecord") + L" -prcap -v dev=" + W(entry.address);
        entry.speeds = ParseSpeeds(Run());
        burner = entry;
        return true;
    }
    return false;
}

SVMedia SVCDRecord::ParseMedium(const std::vector<std::string>& lines) {
    SVMedia media;
    for (const std::string& line : lines) {
        if (Contains(line, "Disk Is not erasable")) media.erasable = false;
        if (Contains(line, "Disk Is erasable")) media.erasable = true;
        if (Contains(line, "disk status:")) media.blank = !Contains(line, "complete");
        if (Contains(line, "Mounted media type:")) media.mediaType = line.size() > 26 ? line.substr(26) : std::string();
        if (Contains(line, "phys size:...")) {
            media.physicalSize = line.size() > 13 ? platform::ExtractInteger(line.substr(13)) * 2048 : 0;
        }
    }
    media.discPresent = media.mediaType.empty() ? 0 : 1;
    return media;
}

SVMedia SVCDRecord::Inspect(SVBurner& burner) {
    burner.commandLine = ToolPath(burner.toolFolder, L"cdrecord.exe") + L" -v -minfo -dev=" + W(burner.address);
    // Each line reaches the hook as it arrives; the burner's own runner settings come back after.
    const std::wstring prefix = burner.linePrefix;
    const TextCallback onLine = burner.onLine;
    burner.linePrefix = L"[cdr] ";
    burner.onLine = burner.lineHook;
    const std::vector<std::string> lines = burner.Run();
    burner.linePrefix = prefix;
    burner.onLine = onLine;
    return ParseMedium(lines);
}

void SVCDRecord::Eject(const SVBurner& burner) {
    commandLine = ToolPath(burner.toolFolder, L"cdrecord") + L" -dev " + W(burner.address) + L" -eject";
    Run();
}

std::wstring SVCDRecord::ImageCommand(const std::wstring& toolFolder, const std::wstring& label, const std::string& pipe,
                                      const std::wstring& dvdFolder) {
    // The label is one quoted argument: blanks stay inside it and it can never add options.
    const std::wstring labelPart = label.empty() ? L"" : L" -V " + platform::QuoteArgument(label);
    return ToolPath(toolFolder, L"mkisofs.exe") + labelPart + L" -dvd-video -o " + W(pipe) + L"  " +
           platform::QuoteArgument(dvdFolder);
}

std::wstring SVCDRecord::WriteCommand(const SVBurner& burner, int32_t sectors, const std::string& pipe) {
    return ToolPath(burner.toolFolder, L"cdrecord.exe") + L" -tsize=" + std::to_wstring(sectors) + L"s -v speed=" +
           std::to_wstring(burner.speed) + L" gracetime=0 dev=" + W(burner.address) + L" " + W(pipe);
}

void SVCDRecord::Blank(const SVBurner& burner) {
    StartRecorderRun(burner, ToolPath(burner.toolFolder, L"cdrecord.exe") + L" gracetime=0 blank=fast -force dev=" + W(burner.address),
                     L"", nullptr);
}

void SVCDRecord::Burn(const SVBurner& burner, const std::wstring& dvdFolder, const std::wstring& label) {
    SVCommandLineProcess reset(burner.toolFolder);
    reset.RunSync(ToolPath(burner.toolFolder, L"cdrecord.exe") + L" -reset dev=" + W(burner.address));
    const int32_t sectors = SVMkisofsSizeCommand::GetImageSize(burner.toolFolder, dvdFolder);
    auto* relay = new SVPipe;
    relay->Start();
    StartBurnRuns(burner, relay, ImageCommand(burner.toolFolder, label, relay->input.name, dvdFolder),
                  WriteCommand(burner, sectors, relay->output.name));
}
