#pragma once
#include <cstdint>
#include <functional>
#include <vector>

// Remaining-time estimate from the fraction done: linear extrapolations, the most
// pessimistic of a window that shrinks as the job advances.
class SVTimeEstimer {
public:
    using Counter = std::function<int64_t()>;

    SVTimeEstimer();
    // A counter and its rate in ticks per second, so tests can drive the clock.
    SVTimeEstimer(Counter counter, int64_t ticksPerSecond);
    virtual ~SVTimeEstimer() = default;

    void Start();
    void Stop();
    // A fraction of 0 or below (or not a number) adds no sample: no estimate can come from it.
    void AddSample(double fraction);
    double EstimateRemaining() const;

    static int WindowSize(double fraction);

private:
    Counter counter;
    int64_t ticksPerSecond;
    int64_t frequency = 0;
    int64_t start = 0;
    std::vector<double> samples;
    bool running = false;
};
