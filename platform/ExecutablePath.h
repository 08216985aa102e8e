#pragma once
#include <string>

namespace platform {

// Full path of the running executable, symlinks resolved; empty when unknown.
std::wstring ExecutablePath();
// Folder of the running executable, without a trailing '/'. The tools live here.
std::wstring ExecutableFolder();

}  // namespace platform
