#include "process/SVFFMPEGProcess.h"

#include "platform/TextCodec.h"

void SVFFMPEGProcess::Start() {
    if (!relay || !PrepareRun()) return;
    reached = false;
    // The relay deletes itself when it ends, so the job keeps its own handles to the ends.
    thread = std::thread([this, input = relay->input, output = relay->output] { EncoderThread(input, output); });
}

void SVFFMPEGProcess::HandleLine(const std::string& line) {
    const double seconds = ParseEncodedTime(line);
    if (seconds < 0) KeepTail(line);
    if (!author) return;
    if (seconds >= 0) {
        author->OnMovieProgress(movie, static_cast<float>(seconds));
    } else {
        author->OnEncoderMessage(L"[Enc] " + platform::Widen(line));
    }
}

void SVFFMPEGProcess::EncoderThread(SVPipeIn relayInput, SVPipeOut relayOutput) {
    // Shares the relay's descriptor: waiting here adds no writer of its own.
    reached = relayOutput.Connect();
    if (reached && StartChild(program)) {
        PumpOutput(5, [this](const std::string& line) { HandleLine(line); });
    }
    ReleaseChild();
    // An encoder that never opened its output must not leave the relay (and the tool
    // reading from it) waiting for ever; an opened one is unaffected.
    relayInput.Abandon();
    finished = true;
    if (reached && author) author->OnMovieEncoded(movie);
}
