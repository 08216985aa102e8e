#pragma once
#include <cstddef>
#include <string>

// Cuts tool output into lines: any run of CR and LF ends one line, so CR LF, LF, a lone
// CR (progress that rewrites itself) and blank lines behave alike and no empty line is
// ever delivered. A NUL byte cuts its line there. A line that reaches maxLength bytes
// without a terminator is delivered cut at that length; the rest starts the next line.
class LineSplitter {
public:
    explicit LineSplitter(size_t maxLength = 4096) : maxLength(maxLength) {}

    template <typename OnLine>
    void Feed(const char* data, size_t length, OnLine&& onLine) {
        for (size_t i = 0; i < length; ++i) {
            const char c = data[i];
            if (c == '\r' || c == '\n') {
                Deliver(onLine);
                continue;
            }
            pending += c;
            if (pending.size() >= maxLength) Deliver(onLine);
        }
    }

    // Bytes of an unfinished line still held; they are never delivered on their own.
    size_t PendingSize() const { return pending.size(); }

private:
    template <typename OnLine>
    void Deliver(OnLine& onLine) {
        if (pending.empty()) return;
        const size_t nul = pending.find('\0');
        if (nul != std::string::npos) pending.resize(nul);
        if (!pending.empty()) onLine(pending);
        pending.clear();
    }

    size_t maxLength;
    std::string pending;
};
