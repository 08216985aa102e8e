#include "tests/support/Clips.h"

#include <cstdio>
#include <cstdlib>

bool MakeClip(const std::string& path, const ClipSpec& s) {
    std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=" + std::to_string(s.width) + "x" +
                          std::to_string(s.height) + ":rate=" + s.rate + ":duration=" + std::to_string(s.seconds);
    if (s.audio) command += " -f lavfi -i sine=frequency=440:duration=" + std::to_string(s.seconds);
    command += " -vf setsar=" + s.sar + " -pix_fmt yuv420p '" + path + "' 2>&1";
    return std::system(command.c_str()) == 0;
}

std::string ShellOutput(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return output;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    ::pclose(pipe);
    return output;
}

bool MakeDvdFolder(const std::string& folder, double seconds) {
    const std::string mpg = folder + ".mpg", xml = folder + ".xml";
    const std::string length = std::to_string(seconds);
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=352x288:rate=25:duration=" + length +
                                " -f lavfi -i sine=duration=" + length + " -target pal-dvd -aspect 4:3 '" + mpg + "' && " +
                                "printf '<dvdauthor><titleset><titles><pgc><vob file=\"%s\" /></pgc></titles></titleset></dvdauthor>' '" +
                                mpg + "' > '" + xml + "' && VIDEO_FORMAT=PAL dvdauthor -o '" + folder + "' -x '" + xml +
                                "' >/dev/null 2>&1 && VIDEO_FORMAT=PAL dvdauthor -o '" + folder + "' -T >/dev/null 2>&1 && rm -f '" +
                                mpg + "' '" + xml + "'";
    return std::system(command.c_str()) == 0;
}
