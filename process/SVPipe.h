#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Event.h"
#include "platform/Fifo.h"

// The letters of a pipe name for a counter value: each decimal digit of the low 32 bits,
// least significant first, as 'a'..'j', then those of the high 32 bits.
std::string PipeLettersOf(uint64_t counter);
// A new pipe path: the private pipe folder, '/', and the letters of the clock's counter.
std::string MakeUniquePipeName();

// The program's end of a named pipe. Copies share the one end, so a copy kept by an owner
// stays valid after the relay that used it is gone.
class SVPipeIn {
public:
    SVPipeIn();
    virtual ~SVPipeIn() = default;

    virtual bool Create();
    // Waits until the tool on the other side has opened the pipe.
    bool Connect();
    // Releases everybody waiting on this end (used when a job is cancelled).
    void Abandon();
    // For the program's writing ends: all of the text, false when the reader has gone.
    bool Write(const std::string& text);
    // Written bytes wait in the kernel's pipe buffer for the reader; nothing to push.
    void Flush() {}
    // Closes the program's side: the reader sees the end once it has read everything.
    void Disconnect();

    std::shared_ptr<platform::FifoEnd> handle;
    std::string name;

protected:
    struct NoCreate {};
    explicit SVPipeIn(NoCreate) {}
    bool CreateEnd(bool forWriting);
};

// The program writes, the tool reads.
class SVPipeOut : public SVPipeIn {
public:
    SVPipeOut();
    bool Create() override;
};

// The description pipe: the program writes, the tool reads it as a file.
class SVPipeInOut : public SVPipeIn {
public:
    SVPipeInOut();
    bool Create() override;
};

// Copies what a producer writes into `input` to the consumer reading `output`, on a thread
// of its own. Created with new; after Start it deletes itself when the producer has
// closed, removing both FIFO files.
class SVPipe {
public:
    SVPipe();
    virtual ~SVPipe();
    virtual void Start();

    SVPipeIn input;
    SVPipeOut output;
    uint32_t bufferSize = 4096;

private:
    void Relay();

    std::shared_ptr<platform::Event> startedEvent;
};
