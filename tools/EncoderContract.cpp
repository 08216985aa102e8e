#include "tools/EncoderContract.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace tools {
namespace {

bool ParseInt(const std::string& text, int& out) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 6) return false;
    out = std::stoi(text);
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    return x != std::string::npos && ParseInt(text.substr(0, x), width) && ParseInt(text.substr(x + 1), height);
}

bool ParseRatio(const std::string& text, double& num, double& den) {
    const size_t sep = text.find_first_of(":/");
    if (sep == std::string::npos) return false;
    char* end = nullptr;
    num = std::strtod(text.substr(0, sep).c_str(), &end);
    if (*end) return false;
    den = std::strtod(text.substr(sep + 1).c_str(), &end);
    return !*end && num > 0 && den > 0;
}

std::string Decimal(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6f", value);
    return buffer;
}

bool Expect(const std::vector<std::string>& args, size_t i, const char* flag, std::string& error) {
    if (i < args.size() && args[i] == flag) return true;
    error = std::string("expected ") + flag + " as argument " + std::to_string(i + 1);
    return false;
}

}  // namespace

std::optional<Conversion> ParseConversion(const std::vector<std::string>& a, std::string& error) {
    if (a.size() != 19) {
        error = "expected 19 arguments, got " + std::to_string(a.size());
        return std::nullopt;
    }
    Conversion c;
    if (!Expect(a, 0, "-i", error) || !Expect(a, 2, "-target", error) || !Expect(a, 4, "-b", error) ||
        !Expect(a, 6, "-ab", error) || !Expect(a, 8, "-sws_flags", error) || !Expect(a, 10, "-s", error) ||
        !Expect(a, 16, "-aspect", error))
        return std::nullopt;
    c.input = a[1];
    if (a[3] != "pal-dvd" && a[3] != "ntsc-dvd") {
        error = "unknown target " + a[3];
        return std::nullopt;
    }
    c.pal = a[3] == "pal-dvd";
    int kilo = 0;
    if (a[5].size() < 2 || a[5].back() != 'k' || !ParseInt(a[5].substr(0, a[5].size() - 1), kilo) || kilo <= 0) {
        error = "bad video rate " + a[5];
        return std::nullopt;
    }
    c.videoKilo = kilo;
    c.audioRate = a[7];
    c.scaler = a[9];
    if (c.scaler != "bicubic" && c.scaler != "bicublin" && c.scaler != "bilinear") {
        error = "unknown scaler " + c.scaler;
        return std::nullopt;
    }
    if (!ParseSize(a[11], c.width, c.height) || c.width <= 0 || c.height <= 0) {
        error = "bad size " + a[11];
        return std::nullopt;
    }
    int first = 0, second = 0;
    if (!ParseInt(a[13], first) || !ParseInt(a[15], second)) {
        error = "bad band sizes";
        return std::nullopt;
    }
    if (a[12] == "-padtop" && a[14] == "-padbottom") {
        c.padTop = first;
        c.padBottom = second;
    } else if (a[12] == "-padleft" && a[14] == "-padright") {
        c.padLeft = first;
        c.padRight = second;
    } else {
        error = "expected -padtop/-padbottom or -padleft/-padright";
        return std::nullopt;
    }
    if (c.width + c.padLeft + c.padRight > 720 || c.height + c.padTop + c.padBottom > c.FrameHeight()) {
        error = "picture and bands exceed the DVD frame";
        return std::nullopt;
    }
    c.aspect = a[17];
    if (c.aspect != "4:3" && c.aspect != "16:9") {
        error = "unknown aspect " + c.aspect;
        return std::nullopt;
    }
    c.output = a[18];
    return c;
}

std::vector<std::string> RealConversionCommand(const Conversion& c, const std::string& realFfmpeg) {
    const std::string frame = "720:" + std::to_string(c.FrameHeight());
    const std::string filter = "scale=" + std::to_string(c.width) + ":" + std::to_string(c.height) + ":flags=" + c.scaler +
                               ",pad=" + frame + ":" + std::to_string(c.padLeft) + ":" + std::to_string(c.padTop) + ":black";
    return {realFfmpeg, "-hide_banner", "-nostdin", "-y", "-i", c.input, "-target", c.pal ? "pal-dvd" : "ntsc-dvd",
            "-vf", filter, "-aspect", c.aspect, "-b:v", std::to_string(c.videoKilo * 1024), "-b:a", c.audioRate,
            c.output};
}

std::string WithTimeInSeconds(const std::string& line) {
    const size_t at = line.find("time=");
    if (at == std::string::npos) return line;
    const size_t start = at + 5;
    const size_t end = line.find(' ', start);
    const std::string value = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    int hours = 0, minutes = 0;
    double seconds = 0;
    char tail = 0;
    const bool negative = !value.empty() && value[0] == '-';
    if (std::sscanf(value.c_str() + (negative ? 1 : 0), "%d:%d:%lf%c", &hours, &minutes, &seconds, &tail) != 3) {
        return line;
    }
    double total = hours * 3600.0 + minutes * 60.0 + seconds;
    if (negative) total = 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", total);
    return line.substr(0, start) + buffer + (end == std::string::npos ? "" : line.substr(end));
}

std::map<std::string, std::string> ParseKeyValues(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t eq = line.find('=');
        if (eq != std::string::npos && !values.count(line.substr(0, eq))) values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

std::vector<std::string> InfoBlock(const std::map<std::string, std::string>& probe) {
    auto value = [&](const char* key) {
        const auto it = probe.find(key);
        return it == probe.end() ? std::string() : it->second;
    };
    int width = 0, height = 0;
    if (!ParseInt(value("width"), width) || !ParseInt(value("height"), height)) return {};
    double num = 0, den = 0, aspect = height > 0 ? static_cast<double>(width) / height : 1.0;
    if (ParseRatio(value("display_aspect_ratio"), num, den)) {
        aspect = num / den;
    } else if (ParseRatio(value("sample_aspect_ratio"), num, den) && height > 0) {
        aspect = width * num / (height * den);
    }
    double rateNum = 0, rateDen = 0;
    if (!ParseRatio(value("r_frame_rate"), rateNum, rateDen)) ParseRatio(value("avg_frame_rate"), rateNum, rateDen);
    double duration = std::atof(value("duration").c_str());
    if (!(duration > 0) || !std::isfinite(duration)) duration = 0;
    const std::string marker = "[sorvane info]";
    return {marker + "videoWidth=" + std::to_string(width),
            marker + "videoHeight=" + std::to_string(height),
            marker + "videoAspectRatio=" + Decimal(aspect),
            marker + "videoDuration=" + Decimal(duration),
            marker + "videoFrameRateNum=" + std::to_string(static_cast<long>(rateNum)),
            marker + "videoFrameRateDen=" + std::to_string(static_cast<long>(rateDen))};
}

std::vector<std::string> StandardInfoLines(const std::string& output) {
    std::vector<std::string> lines;
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t text = line.find_first_not_of(' ');
        if (text == std::string::npos) continue;
        if (line.rfind("Input", 0) == 0 || line.rfind("  Duration", 0) == 0) {
            lines.push_back(line);
        } else if (line.compare(text, 6, "Stream") == 0) {
            lines.push_back("    " + line.substr(text));
        }
    }
    return lines;
}

}  // namespace tools
