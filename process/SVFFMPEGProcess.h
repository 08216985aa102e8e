#pragma once
#include "process/SVDVDProcess.h"
#include "process/SVPipe.h"

// The encoder job of one movie: waits until the consumer has opened the movie's relay
// output, then runs the encoder (`program` holds its whole command line) and turns its
// "time=" lines into progress and every other line into log text.
class SVFFMPEGProcess : public SVDVDProcess {
public:
    virtual void Start();

    SVDVDAuthorMovie* movie = nullptr;
    SVDVDAuthorEvents* author = nullptr;
    SVPipe* relay = nullptr;

private:
    void EncoderThread(SVPipeIn relayInput, SVPipeOut relayOutput);
    void HandleLine(const std::string& line);
};
