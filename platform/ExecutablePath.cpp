#include "platform/ExecutablePath.h"

#include <limits.h>
#include <stdlib.h>

#include "platform/TextCodec.h"

namespace platform {

std::wstring ExecutablePath() {
    char resolved[PATH_MAX];
    if (!realpath("/proc/self/exe", resolved)) return {};
    return Widen(resolved);
}

std::wstring ExecutableFolder() {
    const std::wstring path = ExecutablePath();
    const size_t slash = path.rfind(L'/');
    if (slash == std::wstring::npos) return {};
    return slash == 0 ? std::wstring(L"/") : path.substr(0, slash);
}

}  // namespace platform
