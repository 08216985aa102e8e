#pragma once
#include <string>

class SVDVDAuthorMovie;

// What the process jobs report to the authoring engine, on the jobs' own threads.
class SVDVDAuthorEvents {
public:
    virtual ~SVDVDAuthorEvents() = default;
    virtual void OnAuthoringEnded(int flag, const std::wstring& text) = 0;
    virtual void OnMovieProgress(SVDVDAuthorMovie* movie, float seconds) = 0;
    virtual void OnEncoderMessage(const std::wstring& text) = 0;
    virtual void OnMovieEncoded(SVDVDAuthorMovie* movie) = 0;
};
