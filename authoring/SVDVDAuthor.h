#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "authoring/SVDVDAuthorMovie.h"
#include "process/Callbacks.h"
#include "process/SVDVDAuthorEvents.h"
#include "process/SVDVDProcess.h"
#include "process/SVFFMPEGProcess.h"
#include "process/SVNode.h"
#include "process/SVPipe.h"

// The authoring engine: the ordered list of a compilation's videos, turned into a DVD-Video
// folder by one encoder job per video and one authoring-tool job, with every stream and the
// disc description passed through named pipes. Each compilation ends with exactly one
// report: onCancelled after a cancel, else onFinished with flag 1 for a complete folder
// and flag 0 with a text that says what failed.
class SVDVDAuthor : public SVNode, public SVDVDAuthorEvents {
public:
    SVDVDAuthor();
    // Cancels a compilation still running and waits for its jobs.
    ~SVDVDAuthor() override;
    SVDVDAuthor(const SVDVDAuthor&) = delete;
    SVDVDAuthor& operator=(const SVDVDAuthor&) = delete;

    virtual void Clear();
    // Probes the file on this thread and appends it whatever the probe found.
    virtual void AddMovie(const std::wstring& path);
    virtual void RemoveMovie(size_t index);
    virtual void MoveMovie(size_t to, size_t from);
    // Returns once the description has been handed to the authoring tool (or the tool
    // has ended without reading it); the rest runs on the jobs' threads.
    virtual void Compile();
    virtual void Cancel();
    void OnAuthoringEnded(int flag, const std::wstring& text) override;
    virtual std::wstring GetMovieFileName(size_t index) const;

    SVDVDAuthorMovie& GetMovie(size_t index) { return movies[index]; }
    const SVDVDAuthorMovie& GetMovie(size_t index) const { return movies[index]; }
    float GetTotalDuration() const;
    void OnMovieProgress(SVDVDAuthorMovie* movie, float seconds) override;
    void OnEncoderMessage(const std::wstring& text) override;
    void OnMovieEncoded(SVDVDAuthorMovie* movie) override;

    // The description pieces, exactly as the authoring tool receives them.
    static std::vector<std::string> DescriptionPieces(const std::vector<std::string>& streamNames);

    std::vector<SVDVDAuthorMovie> movies;
    std::vector<float> movieProgress;
    // The encoder jobs of the last compilation; released when the next one starts.
    std::vector<std::unique_ptr<SVFFMPEGProcess>> processes;
    SVDVDProcess authoringJob;
    std::atomic<bool> cancelled{false};
    std::wstring dvdFolder;
    uint8_t videoFormat = 0;
    uint8_t screenFormat = 0;
    uint8_t quality = 0;
    ValueCallback onProgress = nullptr;  // the bits of a 32-bit float of seconds
    FinishedCallback onFinished = nullptr;
    TextCallback onCancelled = nullptr;
    TextCallback onMessage = nullptr;
    // Where the encoder and the authoring tool live: the program's own folder.
    std::wstring toolFolder;

    // How long encoders still running when the authoring tool has ended may take to end
    // by themselves before they are stopped (their exit status decides the report).
    static constexpr int kEncoderGraceMilliseconds = 5000;

private:
    // The program's copies of one movie's stream ends: the relay deletes itself, these
    // stay valid for releasing and removing what a cut-short compilation left.
    struct Stream {
        SVPipeIn input;
        SVPipeOut output;
    };

    void ReleaseLastCompilation();
    // False (after reporting why) when the compilation cannot start at all.
    bool CheckCanCompile(int64_t videoRate);
    void StartEncoders(const std::vector<SVPipe*>& relays, int64_t videoRate, uint8_t resolvedFormat,
                       uint8_t resolvedScreen);
    void StartAuthoringTool();
    void WriteDescription();
    void StopEncodersAfterAuthoring();
    void ReleaseStreams();
    std::wstring FailureText();
    void Report(int flag, const std::wstring& text);
    void PublishProgress();

    std::vector<Stream> streams;
    std::unique_ptr<SVPipeInOut> descriptionChannel;
    // Encoder threads store and sum progress under it, so sums are never torn and
    // reach onProgress in the order they were made.
    std::mutex progressMutex;
    std::atomic<bool> compiling{false};
};
