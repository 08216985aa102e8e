// The encoder tool: information mode ("-i FILE") and DVD conversion mode, over the real ffmpeg.
#include <string>
#include <vector>

#include "tools/EncoderContract.h"
#include "tools/ToolSupport.h"

namespace {

int Information(const std::string& file) {
    const std::string ffprobe = tools::FindRealTool("ffprobe");
    const std::string ffmpeg = tools::FindRealTool("ffmpeg");
    if (ffprobe.empty() || ffmpeg.empty()) return tools::Fail("ffmpeg: the real ffmpeg and ffprobe are not installed", 127);
    // "V" skips attached pictures (cover art), which are no video to put on a disc.
    const tools::RunResult probe = tools::RunTool(
        {ffprobe, "-v", "error", "-select_streams", "V:0", "-show_entries",
         "stream=width,height,sample_aspect_ratio,display_aspect_ratio,r_frame_rate,avg_frame_rate:format=duration", "-of",
         "default=noprint_wrappers=1", file},
        {}, nullptr);
    const tools::RunResult banner = tools::RunTool({ffmpeg, "-hide_banner", "-nostdin", "-i", file}, {}, nullptr);
    for (const std::string& line : tools::StandardInfoLines(banner.output)) tools::PrintLine(line);
    const std::vector<std::string> block = tools::InfoBlock(tools::ParseKeyValues(probe.output));
    for (const std::string& line : block) tools::PrintLine(line);
    tools::PrintLine("[sorvane end info]");
    return block.empty() ? 1 : 0;
}

int Convert(const std::vector<std::string>& args) {
    std::string error;
    const auto conversion = tools::ParseConversion(args, error);
    if (!conversion) return tools::Fail("ffmpeg: unsupported command line: " + error);
    const std::string ffmpeg = tools::FindRealTool("ffmpeg");
    if (ffmpeg.empty()) return tools::Fail("ffmpeg: the real ffmpeg is not installed", 127);
    // The encoder's last line usually says why it failed; the summary repeats it.
    std::string lastLine;
    const tools::RunResult run = tools::RunTool(tools::RealConversionCommand(*conversion, ffmpeg), {}, [&](const std::string& line) {
        tools::PrintLine(tools::WithTimeInSeconds(line));
        lastLine = line;
    });
    if (!run.started) return tools::Fail("ffmpeg: the real ffmpeg could not be started", 127);
    if (run.status != 0) {
        tools::PrintLine("ffmpeg: the encode failed (status " + std::to_string(run.status) + ")" +
                         (lastLine.empty() ? "" : ": " + lastLine));
    }
    return run.status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "-i") return Information(args[1]);
    return Convert(args);
}
