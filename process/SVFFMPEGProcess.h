#pragma once
#include "process/SVDVDProcess.h"
#include "process/SVPipe.h"

// The encoder job of one movie: waits until the consumer has opened the movie's relay
// output, then runs the encoder (`program` holds its whole command line) and turns its
// "time=" lines into progress and every other line into log text. A job whose stream is
// abandoned before the consumer comes (a cancel) ends without starting the encoder and
// reports nothing.
class SVFFMPEGProcess : public SVDVDProcess {
public:
    virtual void Start();
    // True once the consumer opened the movie's stream, so the encoder was (to be) started.
    bool Reached() const { return reached; }

    SVDVDAuthorMovie* movie = nullptr;
    SVDVDAuthorEvents* author = nullptr;
    SVPipe* relay = nullptr;

private:
    std::atomic<bool> reached{false};

    void EncoderThread(SVPipeIn relayInput, SVPipeOut relayOutput);
    void HandleLine(const std::string& line);
};
