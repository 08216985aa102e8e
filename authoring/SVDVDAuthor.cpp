#include "authoring/SVDVDAuthor.h"

#include <chrono>
#include <thread>

#include "authoring/EncodingParameters.h"
#include "platform/CommandLine.h"
#include "platform/ExecutablePath.h"
#include "platform/Fifo.h"
#include "platform/TextCodec.h"
#include "settings/PathHelpers.h"

namespace {

std::wstring ExitText(const platform::ChildExit& exit) {
    if (exit.signal != 0) return L"ended by signal " + std::to_wstring(exit.signal);
    return L"exit status " + std::to_wstring(exit.code);
}

std::wstring LastLineOf(const std::deque<std::string>& tail) {
    if (tail.empty()) return L"";
    return L": " + platform::Widen(tail.back());
}

std::wstring Quoted(const std::wstring& name) { return L"\"" + name + L"\""; }

std::wstring DurationText(float seconds) {
    const long total = static_cast<long>(seconds);
    const std::wstring minutes = std::to_wstring(total / 60 % 60), secs = std::to_wstring(total % 60);
    return std::to_wstring(total / 3600) + L":" + (minutes.size() < 2 ? L"0" : L"") + minutes + L":" +
           (secs.size() < 2 ? L"0" : L"") + secs;
}

}  // namespace

SVDVDAuthor::SVDVDAuthor() : toolFolder(platform::ExecutableFolder()) {}

SVDVDAuthor::~SVDVDAuthor() {
    if (compiling) Cancel();
    ReleaseLastCompilation();
}

void SVDVDAuthor::Clear() {
    movies.clear();
    movieProgress.clear();
}

void SVDVDAuthor::AddMovie(const std::wstring& path) {
    SVDVDAuthorMovie movie;
    movie.toolFolder = toolFolder;
    movie.Probe(path);
    movies.push_back(movie);
    movieProgress.push_back(0.0f);
}

void SVDVDAuthor::RemoveMovie(size_t index) {
    if (index >= movies.size()) return;
    movies.erase(movies.begin() + static_cast<std::ptrdiff_t>(index));
    movieProgress.erase(movieProgress.begin() + static_cast<std::ptrdiff_t>(index));
}

void SVDVDAuthor::MoveMovie(size_t to, size_t from) {
    if (from >= movies.size() || to >= movies.size()) return;
    const SVDVDAuthorMovie moved = movies[from];
    movies.erase(movies.begin() + static_cast<std::ptrdiff_t>(from));
    movies.insert(movies.begin() + static_cast<std::ptrdiff_t>(to), moved);
}

std::wstring SVDVDAuthor::GetMovieFileName(size_t index) const {
    return index < movies.size() ? movies[index].fileName : std::wstring();
}

float SVDVDAuthor::GetTotalDuration() const { return encoding::TotalDuration(movies); }

std::vector<std::string> SVDVDAuthor::DescriptionPieces(const std::vector<std::string>& streamNames) {
    std::vector<std::string> pieces = {"<dvdauthor><vmgm></vmgm><titleset><titles>", "<pgc>"};
    for (const std::string& name : streamNames) pieces.push_back("<vob file=\"" + name + "\" />");
    pieces.push_back("<post>jump chapter 1;</post></pgc>");
    pieces.push_back("</titles></titleset></dvdauthor>");
    return pieces;
}

void SVDVDAuthor::Compile() {
    // The movie list and the jobs belong to the running compilation until it has ended.
    if (compiling) return;
    ReleaseLastCompilation();
    cancelled = false;

    const uint8_t format = encoding::ResolveVideoFormat(videoFormat, movies);
    const uint8_t screen = encoding::ResolveScreenFormat(screenFormat, movies);
    const int64_t videoRate = encoding::VideoRate(encoding::TotalDuration(movies));
    CreateFolders(dvdFolder);
    if (!CheckCanCompile(videoRate)) return;
    compiling = true;

    std::vector<SVPipe*> relays;
    for (size_t i = 0; i < movies.size(); ++i) {
        auto* relay = new SVPipe;
        relay->Start();
        streams.push_back({relay->input, relay->output});
        relays.push_back(relay);
    }
    StartEncoders(relays, videoRate, format, screen);
    StartAuthoringTool();
    WriteDescription();
}

bool SVDVDAuthor::CheckCanCompile(int64_t videoRate) {
    std::wstring problem;
    if (movies.empty()) {
        problem = L"There are no videos to compile.";
    } else if (videoRate < encoding::kMinimumVideoRate) {
        problem = L"The videos are too long for one DVD (" + DurationText(GetTotalDuration()) + L" in all).";
    } else if (platform::PrivatePipeFolder().empty()) {
        problem = L"No private folder for the named pipes could be made.";
    } else if (dvdFolder.empty() || !PathExists(dvdFolder)) {
        problem = L"The working folder " + Quoted(dvdFolder) + L" could not be created.";
    }
    if (problem.empty()) return true;
    Report(0, problem);
    return false;
}

void SVDVDAuthor::StartEncoders(const std::vector<SVPipe*>& relays, int64_t videoRate, uint8_t resolvedFormat,
                                uint8_t resolvedScreen) {
    const encoding::Frame frame = encoding::FrameFor(resolvedFormat, resolvedScreen);
    const std::string rateText = encoding::RateText(videoRate);
    for (size_t i = 0; i < movies.size(); ++i) {
        {
            std::lock_guard<std::mutex> lock(progressMutex);
            movieProgress[i] = 0.0f;
        }
        auto job = std::make_unique<SVFFMPEGProcess>();
        job->movie = &movies[i];
        job->author = this;
        job->relay = relays[i];
        job->workingFolder = toolFolder;
        job->arguments = encoding::EncoderArguments(movies[i], frame, rateText, quality, relays[i]->input.name);
        job->program = encoding::EncoderCommandLine(toolFolder, job->arguments);
        job->Start();
        processes.push_back(std::move(job));
    }
}

void SVDVDAuthor::StartAuthoringTool() {
    descriptionChannel = std::make_unique<SVPipeInOut>();
    authoringJob.program = platform::QuoteArgumentIfNeeded(WithTrailingBackslash(toolFolder) + L"dvdauthor.exe");
    authoringJob.arguments = L"-o " + platform::QuoteArgument(dvdFolder) + L" -x " + platform::Widen(descriptionChannel->name);
    authoringJob.owner = this;
    authoringJob.workingFolder = toolFolder;
    authoringJob.StartThread();
}

void SVDVDAuthor::WriteDescription() {
    SVPipeInOut& channel = *descriptionChannel;
    // Returns false when the authoring tool ended without opening it.
    if (channel.Connect()) {
        std::vector<std::string> names;
        for (const Stream& stream : streams) names.push_back(stream.output.name);
        for (const std::string& piece : DescriptionPieces(names)) {
            if (!channel.Write(piece)) break;
        }
        channel.Flush();
    }
    channel.Disconnect();
    channel.handle->Remove();
}

void SVDVDAuthor::Cancel() {
    cancelled = true;
    // First make every movie not reached yet unreachable, so that the authoring tool
    // cannot start another encoder while the running ones are stopped.
    for (Stream& stream : streams) stream.output.Abandon();
    for (auto& job : processes) job->Terminate();
    authoringJob.Terminate();
}

void SVDVDAuthor::OnAuthoringEnded(int flag, const std::wstring& text) {
    // Whatever the tool did not open, nobody will: release Compile and the waiting relays.
    if (descriptionChannel) {
        descriptionChannel->Abandon();
        descriptionChannel->handle->Remove();
    }
    for (Stream& stream : streams) stream.output.Abandon();
    StopEncodersAfterAuthoring();
    ReleaseStreams();
    const std::wstring failure = cancelled ? std::wstring() : FailureText();
    compiling = false;
    if (failure.empty()) {
        Report(flag, text);
    } else {
        Report(0, failure);
    }
}

void SVDVDAuthor::StopEncodersAfterAuthoring() {
    using Clock = std::chrono::steady_clock;
    auto allFinished = [this] {
        for (auto& job : processes) {
            if (!job->Finished()) return false;
        }
        return true;
    };
    // An encoder may still be closing down after its last byte: give it time, so that its
    // own exit status is what decides.
    if (!cancelled) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(kEncoderGraceMilliseconds);
        while (!allFinished() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Repeated, as a job that was just reached may start its encoder after a first round.
    while (!allFinished()) {
        for (auto& job : processes) {
            if (!job->Finished()) job->Terminate();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    for (auto& job : processes) job->Wait();
}

void SVDVDAuthor::ReleaseStreams() {
    for (Stream& stream : streams) {
        stream.input.Abandon();
        stream.output.handle->Remove();
        stream.input.handle->Remove();
    }
}

std::wstring SVDVDAuthor::FailureText() {
    for (size_t i = 0; i < processes.size(); ++i) {
        SVFFMPEGProcess& job = *processes[i];
        if (!job.Reached()) continue;
        const platform::ChildExit exit = job.Outcome();
        if (!exit.started) return L"The encoder could not be started for " + Quoted(movies[i].fileName) + L".";
        if (!job.Terminated() && !exit.Succeeded()) {
            return L"Encoding " + Quoted(movies[i].fileName) + L" failed (" + ExitText(exit) + L")" +
                   LastLineOf(job.OutputTail()) + L".";
        }
    }
    const platform::ChildExit tool = authoringJob.Outcome();
    if (!tool.started) return L"The authoring tool could not be started: " + authoringJob.program + L".";
    if (!tool.Succeeded()) {
        return L"The authoring tool failed (" + ExitText(tool) + L")" + LastLineOf(authoringJob.OutputTail()) + L".";
    }
    for (size_t i = 0; i < processes.size(); ++i) {
        if (!processes[i]->Reached() || processes[i]->Terminated()) {
            return L"The authoring tool ended before it had read " + Quoted(movies[i].fileName) + L".";
        }
    }
    const std::wstring menu = WithTrailingBackslash(dvdFolder) + L"VIDEO_TS/VIDEO_TS.IFO";
    if (!PathExists(menu)) return L"The DVD folder is not complete: " + menu + L" is missing.";
    return L"";
}

void SVDVDAuthor::Report(int flag, const std::wstring& text) {
    if (cancelled) {
        if (onCancelled) onCancelled(text);
    } else if (onFinished) {
        onFinished(flag, text);
    }
}

void SVDVDAuthor::ReleaseLastCompilation() {
    authoringJob.Wait();
    for (auto& job : processes) job->Wait();
    processes.clear();
    streams.clear();
    descriptionChannel.reset();
}

void SVDVDAuthor::OnMovieProgress(SVDVDAuthorMovie* movie, float seconds) {
    if (!onProgress) return;
    std::lock_guard<std::mutex> lock(progressMutex);
    for (size_t i = 0; i < movies.size(); ++i) {
        if (&movies[i] == movie) {
            movieProgress[i] = seconds;
            break;
        }
    }
    PublishProgress();
}

void SVDVDAuthor::OnMovieEncoded(SVDVDAuthorMovie* movie) {
    if (!onProgress) return;
    std::lock_guard<std::mutex> lock(progressMutex);
    for (size_t i = 0; i < movies.size(); ++i) {
        if (&movies[i] == movie) {
            movieProgress[i] = static_cast<float>(movies[i].duration);
            PublishProgress();
            return;
        }
    }
}

void SVDVDAuthor::PublishProgress() {
    float sum = 0.0f;
    for (float seconds : movieProgress) sum += seconds;
    onProgress(FloatBits(sum));
}

void SVDVDAuthor::OnEncoderMessage(const std::wstring& text) {
    if (onMessage) onMessage(text);
}
