#pragma once
#include <string>

// The authoring tool's contract as pure functions.
namespace tools {

// The description without an empty "<vmgm></vmgm>" (or "<vmgm/>"); `removed` tells whether
// there was one. The real dvdauthor cannot write a menu-less VMGM without a known format,
// so the title sets are authored first and the VMGM is built from them afterwards.
std::string WithoutEmptyVmgm(const std::string& xml, bool& removed);

// "PAL" or "NTSC" from the title video attributes of a VTS IFO file, "" when unreadable.
std::string VideoStandardOfVtsIfo(const std::string& ifoBytes);

}  // namespace tools
