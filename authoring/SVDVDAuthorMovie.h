#pragma once
#include <string>
#include <vector>

#include "process/SVNode.h"

// One input video: its path, what the encoder's information mode reported about it, and
// the lines shown to the user. A duration not above 0 marks an invalid video file.
class SVDVDAuthorMovie : public SVNode {
public:
    SVDVDAuthorMovie();

    virtual void Reset();
    // Runs the encoder tool of the tools folder in information mode on the file.
    virtual void Probe(const std::wstring& path);
    virtual std::wstring GetFileName() const { return fileName; }
    double GetDuration() const { return duration; }

    // Feeds one block of probe output; lines end at LF (a CR before it is dropped).
    void SplitBlock(const char* data, size_t length);
    void ParseLine(const std::string& line);
    // A reported aspect of exactly 0 or 1 means "not known": take width / height.
    void FixAspectRatio();

    std::wstring toolFolder;  // where the encoder lives; the program's own folder by default
    std::wstring fileName;
    double duration = 0;
    int width = 0;
    int height = 0;
    float aspectRatio = 1.0f;
    int frameRateNum = 0;
    int frameRateDen = 0;
    bool readingProbe = false;
    std::string pendingLine;
    std::vector<std::wstring> infoLines;

    static constexpr int kProbeMilliseconds = 10000;
};
