#include "app/SVTimeEstimer.h"

#include "platform/MonotonicClock.h"

SVTimeEstimer::SVTimeEstimer() : SVTimeEstimer(platform::MonotonicTicks, platform::MonotonicFrequency()) {}

SVTimeEstimer::SVTimeEstimer(Counter counter, int64_t ticksPerSecond)
    : counter(std::move(counter)), ticksPerSecond(ticksPerSecond) {}

void SVTimeEstimer::Start() {
    samples.clear();
    running = true;
    frequency = ticksPerSecond;
    start = counter();
}

void SVTimeEstimer::Stop() {
    samples.clear();
    running = false;
}

int SVTimeEstimer::WindowSize(double fraction) {
    int size = 16;
    while (size > 0 && 1.0 / size < fraction) size /= 2;
    return size;
}

void SVTimeEstimer::AddSample(double fraction) {
    if (!(fraction > 0.0)) return;
    const int64_t now = counter();
    const int size = WindowSize(fraction);
    const double elapsed = frequency > 0 ? static_cast<double>(now - start) / static_cast<double>(frequency) : 0.0;
    samples.push_back((1.0 - fraction) * elapsed / fraction);
    while (samples.size() > static_cast<size_t>(size)) samples.erase(samples.begin());
}

double SVTimeEstimer::EstimateRemaining() const {
    if (!running || samples.empty()) return 0.0;
    double largest = samples.front();
    for (double sample : samples) {
        if (sample > largest) largest = sample;
    }
    return largest;
}
