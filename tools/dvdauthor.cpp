// The authoring tool: "-o FOLDER -x DESCRIPTION" over the real dvdauthor. It reads the
// description whole (it may be a pipe), authors the title sets, learns PAL or NTSC from
// the title set just written and builds the VMGM with that format.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/AuthoringContract.h"
#include "tools/ToolSupport.h"

namespace {

std::string ReadWhole(const std::string& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = in.is_open();
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Inside the output folder, not /tmp: a cancel kills this tool outright, and what it
// leaves then stays with the unfinished disc folder instead of piling up elsewhere.
class TempFolder {
public:
    explicit TempFolder(const std::string& parent) {
        std::error_code ignored;
        std::filesystem::create_directories(parent, ignored);
        std::string pattern = parent + "/.vidorra-authoring-XXXXXX";
        if (::mkdtemp(pattern.data())) path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

int Run(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
    const tools::RunResult run = tools::RunTool(argv, environment, [](const std::string& line) { tools::PrintLine(line); });
    if (!run.started) return 127;
    return run.status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() != 4 || args[0] != "-o" || args[2] != "-x") {
        return tools::Fail("dvdauthor: unsupported command line; expected -o FOLDER -x DESCRIPTION");
    }
    const std::string folder = args[1];
    const std::string real = tools::FindRealTool("dvdauthor");
    if (real.empty()) return tools::Fail("dvdauthor: the real dvdauthor is not installed", 127);

    bool readOk = false;
    const std::string description = ReadWhole(args[3], readOk);
    if (!readOk || description.empty()) return tools::Fail("dvdauthor: cannot read the description " + args[3], 1);

    bool vmgmRemoved = false;
    const std::string titleSets = tools::WithoutEmptyVmgm(description, vmgmRemoved);
    TempFolder temp(folder);
    if (temp.path.empty()) return tools::Fail("dvdauthor: cannot make a temporary folder", 1);
    const std::string xmlPath = temp.path + "/description.xml";
    std::ofstream(xmlPath, std::ios::binary) << titleSets;

    // A private HOME keeps the user's video_format file out of it: the format comes from
    // the streams only.
    const std::vector<std::string> environment = {"HOME=" + temp.path};
    int status = Run({real, "-o", folder, "-x", xmlPath}, environment);
    if (status != 0) return tools::Fail("dvdauthor: authoring the titles failed (status " + std::to_string(status) + ")", 1);

    if (vmgmRemoved) {
        bool ifoOk = false;
        const std::string standard = tools::VideoStandardOfVtsIfo(ReadWhole(folder + "/VIDEO_TS/VTS_01_0.IFO", ifoOk));
        if (standard.empty()) return tools::Fail("dvdauthor: no title set with a known video format was written", 1);
        tools::PrintLine("dvdauthor: title video format is " + standard);
        std::vector<std::string> vmgmEnvironment = environment;
        vmgmEnvironment.push_back("VIDEO_FORMAT=" + standard);
        status = Run({real, "-o", folder, "-T"}, vmgmEnvironment);
        if (status != 0) return tools::Fail("dvdauthor: building the VMGM failed (status " + std::to_string(status) + ")", 1);
    }
    if (::access((folder + "/VIDEO_TS/VIDEO_TS.IFO").c_str(), R_OK) != 0) {
        return tools::Fail("dvdauthor: VIDEO_TS.IFO was not written", 1);
    }
    return 0;
}
