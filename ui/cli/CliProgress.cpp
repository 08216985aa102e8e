#include "ui/cli/CliProgress.h"

#include <algorithm>
#include <cmath>

namespace {

int Percent(double fraction) { return static_cast<int>(std::floor(std::clamp(fraction, 0.0, 1.0) * 100.0)); }

}  // namespace

std::string CliProgress::Bar(const std::string& label, double fraction, double remainingSeconds, int width) {
    const double done = std::clamp(std::isnan(fraction) ? 0.0 : fraction, 0.0, 1.0);
    const int filled = static_cast<int>(done * width);
    char percent[16];
    std::snprintf(percent, sizeof percent, "%3d%%", Percent(done));
    std::string text = label + " [" + std::string(static_cast<size_t>(filled), '#') +
                       std::string(static_cast<size_t>(width - filled), '-') + "] " + percent;
    if (remainingSeconds > 0 && std::isfinite(remainingSeconds)) {
        const long total = std::lround(remainingSeconds);
        char time[64];
        std::snprintf(time, sizeof time, "  %ld:%02ld:%02ld left", total / 3600, total / 60 % 60, total % 60);
        text += time;
    }
    return text;
}

void CliProgress::Start(const std::string& text) {
    label = text;
    estimer = SVTimeEstimer();
    estimer.Start();
    lastPlainPercent = -1;
    drawn = false;
    Update(0.0);
}

void CliProgress::Update(double fraction) {
    estimer.AddSample(fraction);
    if (terminal) {
        // Padding clears what a longer previous line left.
        std::fprintf(out, "\r%-78s", Bar(label, fraction, estimer.EstimateRemaining(), 30).c_str());
        drawn = true;
    } else {
        const int percent = Percent(fraction) / 10 * 10;
        if (percent == lastPlainPercent) return;
        lastPlainPercent = percent;
        std::fprintf(out, "%s: %d%%\n", label.c_str(), percent);
    }
    std::fflush(out);
}

void CliProgress::Finish() {
    estimer.Stop();
    if (terminal && drawn) std::fprintf(out, "\r%-78s\n", Bar(label, 1.0, 0, 30).c_str());
    if (!terminal && lastPlainPercent != 100) std::fprintf(out, "%s: 100%%\n", label.c_str());
    std::fflush(out);
}
