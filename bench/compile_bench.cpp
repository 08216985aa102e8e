// What streaming the encodes into the authoring tool costs and saves, on generated clips:
//   (a) a compilation by the engine (encoders -> relays -> dvdauthor, no intermediate files);
//   (b) the same encoder command lines alone, writing to /dev/null;
//   (c) a file-based pipeline: encode to .mpg files, dvdauthor on them, genisoimage to an ISO.
// Prints the wall time of each, the ratios a/b and a/c, and the peak disk space each run
// used in its work folder (sampled every 50 ms).
//   compile_bench [clips] [seconds per clip] [WxH]     defaults: 3 20 1280x720
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "authoring/EncodingParameters.h"
#include "authoring/SVDVDAuthor.h"
#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"
#include "platform/ExecutablePath.h"
#include "platform/TextCodec.h"
#include "settings/PathHelpers.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The engine's callbacks carry no context: the one compilation of this program reports here.
struct EndReport {
    std::mutex mutex;
    std::condition_variable changed;
    bool ended = false;
    int flag = 0;
    std::wstring text;
} endReport;

void OnFinished(int32_t flag, std::wstring text) {
    std::lock_guard<std::mutex> lock(endReport.mutex);
    endReport.ended = true;
    endReport.flag = flag;
    endReport.text = std::move(text);
    endReport.changed.notify_all();
}

// Samples the size of a folder while a run goes on and keeps the largest value.
class DiskPeak {
public:
    explicit DiskPeak(std::wstring folder) : folder(std::move(folder)) {
        sampler = std::thread([this] {
            while (!stop) {
                Sample();
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
    }
    uint64_t Finish() {
        stop = true;
        sampler.join();
        Sample();
        return peak;
    }

private:
    void Sample() {
        const uint64_t now = FolderSize(folder);
        if (now > peak) peak = now;
    }
    std::wstring folder;
    std::atomic<bool> stop{false};
    uint64_t peak = 0;
    std::thread sampler;
};

bool Run(const std::wstring& commandLine) {
    platform::ChildProcess child;
    if (!child.Start(commandLine, platform::ExecutableFolder())) return false;
    char buffer[4096];
    while (::read(child.OutputFd(), buffer, sizeof buffer) > 0) {
    }
    child.Wait();
    return child.Exit().Succeeded();
}

std::wstring Tool(const std::string& name) {
    return platform::QuoteArgument(WithTrailingBackslash(platform::ExecutableFolder()) + platform::Widen(name));
}
std::wstring Q(const std::string& path) { return platform::QuoteArgument(platform::Widen(path)); }

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

struct Result {
    double seconds = 0;
    uint64_t peakBytes = 0;
    bool ok = false;
};

Result Compile(const std::vector<std::string>& clips, const std::string& work) {
    SVDVDAuthor author;
    for (const auto& clip : clips) author.AddMovie(platform::Widen(clip));
    author.dvdFolder = platform::Widen(work + "/disc");
    author.quality = 1;
    author.onFinished = OnFinished;
    DiskPeak disk(platform::Widen(work));
    const auto start = Clock::now();
    author.Compile();
    std::unique_lock<std::mutex> lock(endReport.mutex);
    endReport.changed.wait(lock, [] { return endReport.ended; });
    Result result{Seconds(start), 0, endReport.flag == 1};
    lock.unlock();
    result.peakBytes = disk.Finish();
    if (!result.ok) std::fprintf(stderr, "compile failed: %s\n", platform::Narrow(endReport.text).c_str());
    return result;
}

// The encoder arguments the engine would use, with another output than its pipe.
std::vector<std::wstring> EncoderLines(const std::vector<std::string>& clips, const std::function<std::string(size_t)>& output) {
    std::vector<SVDVDAuthorMovie> movies;
    for (const auto& clip : clips) {
        SVDVDAuthorMovie movie;
        movie.Probe(platform::Widen(clip));
        movies.push_back(movie);
    }
    const auto frame = encoding::FrameFor(encoding::ResolveVideoFormat(0, movies), encoding::ResolveScreenFormat(0, movies));
    const std::string rate = encoding::RateText(encoding::VideoRate(encoding::TotalDuration(movies)));
    std::vector<std::wstring> lines;
    for (size_t i = 0; i < movies.size(); ++i) {
        lines.push_back(encoding::EncoderCommandLine(platform::ExecutableFolder(),
                                                     encoding::EncoderArguments(movies[i], frame, rate, 1, output(i))));
    }
    return lines;
}

Result EncodeOnly(const std::vector<std::string>& clips) {
    Result result{0, 0, true};
    const auto start = Clock::now();
    for (const auto& line : EncoderLines(clips, [](size_t) { return std::string("/dev/null"); })) result.ok &= Run(line);
    result.seconds = Seconds(start);
    return result;
}

Result FileBased(const std::vector<std::string>& clips, const std::string& work) {
    Result result{0, 0, true};
    DiskPeak disk(platform::Widen(work));
    const auto start = Clock::now();
    auto mpg = [&](size_t i) { return work + "/movie" + std::to_string(i) + ".mpg"; };
    for (const auto& line : EncoderLines(clips, mpg)) result.ok &= Run(line);
    std::string xml = "<dvdauthor><vmgm></vmgm><titleset><titles><pgc>";
    for (size_t i = 0; i < clips.size(); ++i) xml += "<vob file=\"" + mpg(i) + "\" />";
    xml += "<post>jump chapter 1;</post></pgc></titles></titleset></dvdauthor>";
    std::ofstream(work + "/disc.xml") << xml;
    result.ok &= Run(Tool("dvdauthor") + L" -o " + Q(work + "/disc") + L" -x " + Q(work + "/disc.xml"));
    result.ok &= Run(Tool("mkisofs") + L" -dvd-video -o " + Q(work + "/disc.iso") + L"  " + Q(work + "/disc"));
    result.seconds = Seconds(start);
    result.peakBytes = disk.Finish();
    return result;
}

double MiB(uint64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 3;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    const std::string size = argc > 3 ? argv[3] : "1280x720";

    char pattern[] = "/tmp/vidorra-compile-bench-XXXXXX";
    if (!::mkdtemp(pattern)) return 1;
    const std::string root = pattern;
    std::vector<std::string> clips;
    for (int i = 0; i < count; ++i) {
        const std::string clip = root + "/clip" + std::to_string(i) + ".mp4";
        const std::string make = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=" + size + ":rate=25:duration=" +
                                 std::to_string(seconds) + " -f lavfi -i sine=frequency=" + std::to_string(300 + 100 * i) +
                                 ":duration=" + std::to_string(seconds) + " -pix_fmt yuv420p -c:v libx264 -preset veryfast '" + clip + "'";
        if (std::system(make.c_str()) != 0) return 1;
        clips.push_back(clip);
    }
    for (const char* run : {"a", "c"}) fs::create_directories(root + "/" + run);

    std::printf("%d clips of %d s at %s, encoded at standard quality\n", count, seconds, size.c_str());
    const Result a = Compile(clips, root + "/a");
    const Result b = EncodeOnly(clips);
    const Result c = FileBased(clips, root + "/c");
    std::printf("(a) compile, streamed:         %7.2f s   peak disk %8.1f MiB  %s\n", a.seconds, MiB(a.peakBytes), a.ok ? "ok" : "FAILED");
    std::printf("(b) encodes alone to /dev/null: %7.2f s   peak disk %8.1f MiB  %s\n", b.seconds, MiB(b.peakBytes), b.ok ? "ok" : "FAILED");
    std::printf("(c) files, dvdauthor, ISO:     %7.2f s   peak disk %8.1f MiB  %s\n", c.seconds, MiB(c.peakBytes), c.ok ? "ok" : "FAILED");
    std::printf("a/b = %.3f   a/c = %.3f   disk a/c = %.3f\n", a.seconds / b.seconds, a.seconds / c.seconds,
                static_cast<double>(a.peakBytes) / static_cast<double>(c.peakBytes ? c.peakBytes : 1));
    fs::remove_all(root);
    return a.ok && b.ok && c.ok ? 0 : 1;
}
