#include "tests/support/DvdReader.h"

#include <regex>
#include <sstream>

#include "tests/support/Clips.h"

namespace {

double Seconds(const std::string& h, const std::string& m, const std::string& s) {
    return std::stod(h) * 3600 + std::stod(m) * 60 + std::stod(s);
}

}  // namespace

DvdLayout ReadDvd(const std::string& path) {
    DvdLayout dvd;
    dvd.output = ShellOutput("lsdvd -x '" + path + "'");
    const std::regex title(R"(^Title: (\d+), Length)");
    const std::regex disc(R"(^Disc Title: (.*)$)");
    const std::regex format(R"(Format: (PAL|NTSC), Aspect ratio: (\S+),)");
    const std::regex chapter(R"(^\s*Chapter: \d+, Length: (\d+):(\d+):([\d.]+))");
    std::istringstream lines(dvd.output);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, m, disc)) {
            dvd.discTitle = m[1];
            dvd.readable = true;
        } else if (std::regex_search(line, m, title)) {
            ++dvd.titles;
        } else if (dvd.titles == 1 && dvd.format.empty() && std::regex_search(line, m, format)) {
            dvd.format = m[1];
            dvd.aspect = m[2];
        } else if (dvd.titles == 1 && std::regex_search(line, m, chapter)) {
            dvd.chapterSeconds.push_back(Seconds(m[1], m[2], m[3]));
        }
    }
    return dvd;
}
