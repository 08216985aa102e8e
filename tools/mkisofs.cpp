// The image maker: the DVD-Video size query and the image write, over genisoimage.
//   -dvd-video -print-size FOLDER
//   [-V LABEL] -dvd-video -o OUTPUT FOLDER
#include <unistd.h>

#include <string>
#include <vector>

#include "tools/ToolSupport.h"

namespace {

bool Accepted(const std::vector<std::string>& a) {
    if (a.size() == 3) return a[0] == "-dvd-video" && a[1] == "-print-size";
    if (a.size() == 4) return a[0] == "-dvd-video" && a[1] == "-o";
    if (a.size() == 6) return a[0] == "-V" && a[2] == "-dvd-video" && a[3] == "-o";
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!Accepted(args)) {
        return tools::Fail("mkisofs: unsupported command line; expected [-V LABEL] -dvd-video (-print-size | -o OUTPUT) FOLDER");
    }
    const std::string real = tools::FindRealTool("genisoimage");
    if (real.empty()) return tools::Fail("mkisofs: genisoimage is not installed", 127);
    // The real tool takes this process's place: same pid, same group, same output.
    std::vector<std::string> argCopy = args;
    std::vector<char*> realArgs{const_cast<char*>(real.c_str())};
    for (std::string& a : argCopy) realArgs.push_back(a.data());
    realArgs.push_back(nullptr);
    ::execv(real.c_str(), realArgs.data());
    return tools::Fail("mkisofs: genisoimage could not be started", 127);
}
