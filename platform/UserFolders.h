#pragma once
#include <string>

// The user's special folders, from the XDG rules. Both come back without a trailing '/';
// an empty string when nothing can be found.
namespace platform {

std::wstring ConfigHomeFolder();
std::wstring DocumentsHomeFolder();
std::wstring HomeFolder();

}  // namespace platform
