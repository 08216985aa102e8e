// Throughput of one pipe relay: 1 GiB from a writer process to a reader process through
// the relay, beside `cat` copying between two FIFOs, with the relay's CPU time.
//   pipe_relay_bench [MiB]
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/ChildProcess.h"
#include "platform/Fifo.h"
#include "platform/TextCodec.h"
#include "process/SVPipe.h"

namespace {

double CpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::wstring Shell(const std::string& script) {
    return L"sh -c \"" + platform::Widen(script) + L"\"";
}

bool RunPair(const std::string& writerPath, const std::string& readerPath, long mib) {
    platform::ChildProcess reader, writer;
    if (!reader.Start(Shell("dd if=" + readerPath + " of=/dev/null bs=1M 2>/dev/null"), L"")) return false;
    if (!writer.Start(Shell("dd if=/dev/zero of=" + writerPath + " bs=1M count=" + std::to_string(mib) + " 2>/dev/null"), L""))
        return false;
    writer.Wait();
    reader.Wait();
    return writer.Exit().Succeeded() && reader.Exit().Succeeded();
}

}  // namespace

int main(int argc, char** argv) {
    const long mib = argc > 1 ? std::atol(argv[1]) : 1024;
    const double bytes = static_cast<double>(mib) * 1048576.0;

    auto* relay = new SVPipe;
    relay->Start();
    const std::string in = relay->input.name, out = relay->output.name;
    const double cpuBefore = CpuSeconds();
    auto start = std::chrono::steady_clock::now();
    if (!RunPair(in, out, mib)) return 1;
    const double relaySeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double relayCpu = CpuSeconds() - cpuBefore;

    const std::string a = platform::PrivatePipeFolder() + "/cat-a", b = platform::PrivatePipeFolder() + "/cat-b";
    mkfifo(a.c_str(), 0600);
    mkfifo(b.c_str(), 0600);
    platform::ChildProcess cat;
    if (!cat.Start(Shell("cat " + a + " > " + b), L"")) return 1;
    start = std::chrono::steady_clock::now();
    if (!RunPair(a, b, mib)) return 1;
    const double catSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cat.Wait();

    const double relayRate = bytes / relaySeconds / 1048576.0;
    const double catRate = bytes / catSeconds / 1048576.0;
    std::printf("data             %ld MiB\n", mib);
    std::printf("relay            %.1f MiB/s (%.2f s), relay CPU %.2f s\n", relayRate, relaySeconds, relayCpu);
    std::printf("cat              %.1f MiB/s (%.2f s)\n", catRate, catSeconds);
    std::printf("relay / cat      %.2f\n", relayRate / catRate);
    return 0;
}
