#include "tools/AuthoringContract.h"

#include <regex>

namespace tools {

std::string WithoutEmptyVmgm(const std::string& xml, bool& removed) {
    static const std::regex emptyVmgm(R"(<vmgm\s*>\s*</vmgm\s*>|<vmgm\s*/>)");
    std::string result = std::regex_replace(xml, emptyVmgm, "");
    removed = result != xml;
    return result;
}

std::string VideoStandardOfVtsIfo(const std::string& ifo) {
    // "DVDVIDEO-VTS" header; the title set's video attributes start at byte 0x200:
    // bits 5-4 of their first byte are 0 for NTSC and 1 for PAL.
    if (ifo.size() < 0x202 || ifo.compare(0, 12, "DVDVIDEO-VTS") != 0) return {};
    const int standard = (static_cast<unsigned char>(ifo[0x200]) >> 4) & 0x3;
    if (standard == 0) return "NTSC";
    if (standard == 1) return "PAL";
    return {};
}

}  // namespace tools
