#pragma once
#include <condition_variable>
#include <mutex>
#include <string>

namespace platform {

// The private folder (mode 0700) that holds this process's FIFOs; made on first use and
// removed with what is left in it when the program exits.
const std::string& PrivatePipeFolder();

// One end of a FIFO that this program opens, for reading or for writing. Every Connect
// on one end shares one descriptor, so no extra writer can keep the reader from seeing
// end-of-stream. Descriptors are close-on-exec: no child inherits them.
class FifoEnd {
public:
    FifoEnd(std::string path, bool forWriting);
    ~FifoEnd();
    FifoEnd(const FifoEnd&) = delete;
    FifoEnd& operator=(const FifoEnd&) = delete;

    // Makes the FIFO file (mode 0600); false when it cannot be made.
    bool Create();
    // Blocks until the other side has opened the FIFO; false when it was abandoned.
    bool Connect();
    // Releases every Connect waiting now or later; the end can no longer be used.
    void Abandon();
    // Writes all bytes to a connected end; false when the reader has gone (without the
    // broken-pipe signal that would end the program).
    bool Write(const char* data, size_t length);
    void Close();
    void Remove();

    int Fd() const { return fd; }
    const std::string& Path() const { return path; }
    bool Abandoned();

private:
    std::string path;
    bool forWriting;
    std::mutex mutex;
    std::condition_variable opened;
    enum class State { idle, opening, open } state = State::idle;
    int fd = -1;
    int releaseFd = -1;
    bool abandoned = false;
};

}  // namespace platform
