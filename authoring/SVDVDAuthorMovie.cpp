#include "authoring/SVDVDAuthorMovie.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <sstream>

#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"
#include "platform/ExecutablePath.h"
#include "platform/TextCodec.h"
#include "settings/PathHelpers.h"

namespace {

const std::string kInfoMarker = "[sorvane info]";
const std::string kEndMarker = "[sorvane end info]";

int ToInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 2147483647LL) value = 2147483648LL;
    }
    value = negative ? -value : value;
    if (value > 2147483647LL) value = 2147483647LL;
    return static_cast<int>(value);
}

// A C-locale decimal into single precision; no number gives 0.
float ToDecimal(const std::string& text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    float value = 0;
    if (!(in >> value)) return 0;
    return value;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

SVDVDAuthorMovie::SVDVDAuthorMovie() : toolFolder(platform::ExecutableFolder()) { Reset(); }

void SVDVDAuthorMovie::Reset() {
    duration = 0;
    width = 0;
    height = 0;
    aspectRatio = 1.0f;
}

void SVDVDAuthorMovie::ParseLine(const std::string& line) {
    if (StartsWith(line, kEndMarker)) {
        readingProbe = false;
        return;
    }
    const size_t equals = line.find('=');
    if (StartsWith(line, kInfoMarker) && equals != std::string::npos && equals >= kInfoMarker.size()) {
        const std::string key = line.substr(kInfoMarker.size(), equals - kInfoMarker.size());
        const std::string value = line.substr(equals + 1);
        if (key == "videoWidth") width = ToInteger(value);
        else if (key == "videoHeight") height = ToInteger(value);
        else if (key == "videoAspectRatio") aspectRatio = ToDecimal(value);
        else if (key == "videoDuration") duration = ToDecimal(value);
        else if (key == "videoFrameRateNum") frameRateNum = ToInteger(value);
        else if (key == "videoFrameRateDen") frameRateDen = ToInteger(value);
        else return;
        infoLines.push_back(platform::Widen(key + " " + value));
        return;
    }
    if (StartsWith(line, "Input") || StartsWith(line, "  Duration") || StartsWith(line, "    Stream")) {
        infoLines.push_back(platform::Widen(line));
    }
}

void SVDVDAuthorMovie::SplitBlock(const char* data, size_t length) {
    size_t lineStart = 0;
    size_t i = 0;
    for (; i < length && readingProbe; ++i) {
        if (data[i] != '\n') continue;
        std::string line = pendingLine + std::string(data + lineStart, i - lineStart);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pendingLine.clear();
        lineStart = i + 1;
        ParseLine(line);
    }
    pendingLine.append(data + lineStart, (readingProbe ? length : i) - lineStart);
}

void SVDVDAuthorMovie::FixAspectRatio() {
    if (height != 0 && (aspectRatio == 0.0f || aspectRatio == 1.0f)) {
        aspectRatio = static_cast<float>(width) / static_cast<float>(height);
    }
}

void SVDVDAuthorMovie::Probe(const std::wstring& path) {
    fileName = path;
    const std::wstring commandLine =
        platform::QuoteArgumentIfNeeded(WithTrailingBackslash(toolFolder) + L"ffmpeg") + L" -i " + platform::QuoteArgument(path);
    platform::ChildProcess child;
    if (!child.Start(commandLine, toolFolder)) return;

    // Output is read while the encoder runs (so a chatty one cannot fill the pipe and
    // stall), until the end marker or the end of the output, within the probe's time.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kProbeMilliseconds);
    readingProbe = true;
    pendingLine.clear();
    char buffer[4096];
    while (readingProbe) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd watch{child.OutputFd(), POLLIN, 0};
        if (left.count() <= 0 || ::poll(&watch, 1, static_cast<int>(left.count())) <= 0) break;
        const ssize_t n = ::read(child.OutputFd(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        SplitBlock(buffer, static_cast<size_t>(n));
    }
    readingProbe = false;
    FixAspectRatio();
    // The destructor ends an encoder that is still running and reaps it.
}
