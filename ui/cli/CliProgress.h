#pragma once
#include <cstdio>
#include <string>

#include "app/SVTimeEstimer.h"

// Progress of a long job: a bar with percentage and remaining time redrawn in place on a
// terminal, plain lines every 10 % otherwise (logs, pipes).
class CliProgress {
public:
    CliProgress(FILE* out, bool terminal) : out(out), terminal(terminal) {}

    void Start(const std::string& label);
    void Update(double fraction);
    void Finish();

    // "Encoding [#####-----]  50%  0:01:05 left" (no time while none is known).
    static std::string Bar(const std::string& label, double fraction, double remainingSeconds, int width);

private:
    FILE* out;
    bool terminal;
    std::string label;
    SVTimeEstimer estimer;
    int lastPlainPercent = -1;
    bool drawn = false;
};
