#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <regex>
#include <thread>

#include "authoring/SVDVDAuthor.h"
#include "authoring/SVMkisofsSizeCommand.h"
#include "platform/Fifo.h"
#include "platform/TextCodec.h"
#include "settings/PathHelpers.h"
#include "tests/support/Clips.h"
#include "tests/support/DvdReader.h"
#include "tests/support/FileText.h"
#include "tests/support/Leftovers.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace std::chrono_literals;

// What the engine's plain-function callbacks received (they carry no context).
struct Reports {
    static Reports& Get() {
        static Reports reports;
        return reports;
    }
    static void Progress(int32_t bits) { Get().Add([&](Reports& r) { r.progress.push_back(FloatFromBits(bits)); }); }
    static void Finished(int32_t flag, std::wstring text) { Get().Add([&](Reports& r) { r.finished.emplace_back(flag, text); }); }
    static void Cancelled(std::wstring text) { Get().Add([&](Reports& r) { r.cancelled.push_back(text); }); }
    static void Message(std::wstring text) { Get().Add([&](Reports& r) { r.messages.push_back(text); }); }

    void Add(const std::function<void(Reports&)>& change) {
        std::lock_guard<std::mutex> lock(mutex);
        change(*this);
        changed.notify_all();
    }
    void Reset() {
        std::lock_guard<std::mutex> lock(mutex);
        progress.clear();
        finished.clear();
        cancelled.clear();
        messages.clear();
    }
    bool WaitFor(std::chrono::milliseconds timeout, const std::function<bool(Reports&)>& done) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return done(*this); });
    }
    bool WaitEnded(std::chrono::milliseconds timeout) {
        return WaitFor(timeout, [](Reports& r) { return r.Ends() > 0; });
    }
    size_t Ends() const { return finished.size() + cancelled.size(); }
    template <class T>
    T Read(const std::function<T(Reports&)>& read) {
        std::lock_guard<std::mutex> lock(mutex);
        return read(*this);
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<float> progress;
    std::vector<std::pair<int32_t, std::wstring>> finished;
    std::vector<std::wstring> cancelled;
    std::vector<std::wstring> messages;
};

void Wire(SVDVDAuthor& author) {
    Reports::Get().Reset();
    author.onProgress = Reports::Progress;
    author.onFinished = Reports::Finished;
    author.onCancelled = Reports::Cancelled;
    author.onMessage = Reports::Message;
}

SVDVDAuthorMovie Movie(const std::wstring& name, double seconds) {
    SVDVDAuthorMovie movie;
    movie.fileName = name;
    movie.duration = seconds;
    movie.width = 320;
    movie.height = 240;
    movie.aspectRatio = 4.0f / 3.0f;
    return movie;
}

void Append(SVDVDAuthor& author, const SVDVDAuthorMovie& movie) {
    author.movies.push_back(movie);
    author.movieProgress.push_back(0.0f);
}

std::vector<std::wstring> Names(const SVDVDAuthor& author) {
    std::vector<std::wstring> names;
    for (const auto& movie : author.movies) names.push_back(movie.fileName);
    return names;
}

// A stand-in tool in a tools folder of its own (for what the real tools never do: fail
// on demand, die, or ignore their input).
void WriteScript(const std::string& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    ::chmod(path.c_str(), 0755);
}

// No FIFO and no child process may outlive a compilation's end report.
void ExpectNothingLeft() {
    EXPECT_TRUE(LeftoverPipes().empty()) << LeftoverPipes().size() << " FIFOs left";
    EXPECT_TRUE(ChildPids().empty()) << ChildPids().size() << " child processes left";
}

TEST(SVDVDAuthorList, EditsKeepTheProgressListParallel) {
    const struct {
        size_t to, from;
        std::vector<std::wstring> order;
    } moves[] = {
        {0, 1, {L"B", L"A", L"C"}},
        {2, 1, {L"A", L"C", L"B"}},
        {1, 0, {L"B", L"A", L"C"}},
        {1, 2, {L"A", L"C", L"B"}},
        {3, 0, {L"A", L"B", L"C"}},  // outside the list: nothing moves
    };
    for (const auto& move : moves) {
        SVDVDAuthor author;
        for (const wchar_t* name : {L"A", L"B", L"C"}) Append(author, Movie(name, 1));
        author.movieProgress = {1.0f, 2.0f, 3.0f};
        author.MoveMovie(move.to, move.from);
        EXPECT_EQ(Names(author), move.order) << move.to << " from " << move.from;
        EXPECT_EQ(author.movieProgress, (std::vector<float>{1.0f, 2.0f, 3.0f})) << "progress is not reordered";
    }

    SVDVDAuthor author;
    for (const wchar_t* name : {L"A", L"B", L"C"}) Append(author, Movie(name, 1.5));
    author.movieProgress = {1.0f, 2.0f, 3.0f};
    EXPECT_FLOAT_EQ(author.GetTotalDuration(), 4.5f);
    author.RemoveMovie(1);
    EXPECT_EQ(Names(author), (std::vector<std::wstring>{L"A", L"C"}));
    EXPECT_EQ(author.movieProgress, (std::vector<float>{1.0f, 3.0f}));
    author.RemoveMovie(2);
    EXPECT_EQ(author.movies.size(), 2u);
    EXPECT_EQ(author.GetMovieFileName(1), L"C");
    EXPECT_EQ(author.GetMovieFileName(5), L"");

    author.Clear();
    EXPECT_TRUE(author.movies.empty());
    EXPECT_TRUE(author.movieProgress.empty());
    EXPECT_EQ(author.GetTotalDuration(), 0.0f);

    // A file the probe cannot read is still added, as an invalid movie.
    author.AddMovie(L"/nonexistent/holiday.avi");
    ASSERT_EQ(author.movies.size(), 1u);
    EXPECT_EQ(author.movieProgress.size(), 1u);
    EXPECT_EQ(author.GetMovie(0).fileName, L"/nonexistent/holiday.avi");
    EXPECT_EQ(author.GetMovie(0).duration, 0.0);
}

TEST(SVDVDAuthorProgress, AFinishedMovieCountsWhole) {
    SVDVDAuthor author;
    Append(author, Movie(L"A", 60));
    Append(author, Movie(L"B", 90));
    SVDVDAuthorMovie stranger = Movie(L"X", 5);

    author.OnMovieProgress(&author.movies[0], 12);  // no progress callback: nothing is stored
    EXPECT_EQ(author.movieProgress[0], 0.0f);

    Wire(author);
    author.OnMovieProgress(&author.movies[0], 30);
    author.OnMovieProgress(&author.movies[0], 59.5f);
    author.OnMovieEncoded(&author.movies[0]);
    author.OnMovieProgress(&stranger, 4);  // not in the list: the sum is reported unchanged
    author.OnMovieEncoded(&stranger);      // not in the list: nothing
    author.OnMovieProgress(&author.movies[1], 45);
    author.OnMovieEncoded(&author.movies[1]);
    EXPECT_EQ(Reports::Get().progress, (std::vector<float>{30, 59.5f, 60, 60, 105, 150}));

    author.OnEncoderMessage(L"[Enc] Stream mapping:");
    EXPECT_EQ(Reports::Get().messages, std::vector<std::wstring>{L"[Enc] Stream mapping:"});
}

TEST(SVDVDAuthorDescription, PiecesForTwoMovies) {
    EXPECT_EQ(SVDVDAuthor::DescriptionPieces({"P1", "P2"}),
              (std::vector<std::string>{"<dvdauthor><vmgm></vmgm><titleset><titles>", "<pgc>", "<vob file=\"P1\" />",
                                        "<vob file=\"P2\" />", "<post>jump chapter 1;</post></pgc>",
                                        "</titles></titleset></dvdauthor>"}));
}

// The authoring tool receives exactly the description's bytes and its two arguments; a
// tool that then ends without reading the streams is a failure, not a finished disc.
TEST(SVDVDAuthorDescription, StandInToolCapturesTheExactBytes) {
    TempFolder temp;
    const std::string tools = temp / "tools";
    std::filesystem::create_directories(tools);
    WriteScript(tools + "/dvdauthor", "printf '%s\\n' \"$@\" > '" + temp / "args" + "'\ncat \"$4\" > '" + temp / "capture" + "'");

    SVDVDAuthor author;
    Wire(author);
    author.toolFolder = platform::Widen(tools);
    author.dvdFolder = platform::Widen(temp / "My Disc");
    Append(author, Movie(L"/v/one.avi", 2));
    Append(author, Movie(L"/v/two.avi", 3));
    author.Compile();
    ASSERT_TRUE(Reports::Get().WaitEnded(20s));

    const std::string pipe = platform::PrivatePipeFolder() + "/[a-j]+";
    const std::regex description("<dvdauthor><vmgm></vmgm><titleset><titles><pgc><vob file=\"(" + pipe + ")\" /><vob file=\"(" +
                                 pipe + ")\" /><post>jump chapter 1;</post></pgc></titles></titleset></dvdauthor>");
    std::smatch vobs;
    const std::string captured = ReadFileBytes(temp / "capture");
    ASSERT_TRUE(std::regex_match(captured, vobs, description)) << captured;
    EXPECT_NE(vobs[1], vobs[2]);
    const std::string args = ReadFileBytes(temp / "args");
    const std::regex arguments("-o\n" + temp / "My Disc" + "\n-x\n" + pipe + "\n");
    EXPECT_TRUE(std::regex_match(args, arguments)) << args;

    ASSERT_EQ(Reports::Get().finished.size(), 1u);
    EXPECT_EQ(Reports::Get().finished[0],
              std::make_pair(0, std::wstring(L"The authoring tool ended before it had read \"/v/one.avi\".")));
    ExpectNothingLeft();
}

class CompileTest : public testing::Test {
protected:
    std::wstring Clip(const std::string& name, const ClipSpec& spec) {
        const std::string path = temp / name;
        EXPECT_TRUE(MakeClip(path, spec)) << name;
        return platform::Widen(path);
    }
    void AddAll(SVDVDAuthor& author, const std::vector<std::wstring>& paths) {
        for (const auto& path : paths) author.AddMovie(path);
    }
    std::wstring Folder(const std::string& name) { return platform::Widen(temp / name); }

    TempFolder temp;
};

TEST_F(CompileTest, ClipsBecomeOneTitleWithAChapterPerMovie) {
    const std::wstring pal43 = Clip("pal 4x3.mp4", {320, 240, "25", 2});
    const std::wstring ntsc169 = Clip("ntsc16x9.mp4", {640, 360, "30000/1001", 3});
    // Stored 720x576 with wide pixels: shown at 16:9.
    const std::wstring anamorphic = Clip("anamorphic.mkv", {720, 576, "25", 1.5, "64/45", true, "mkv"});
    const struct {
        const char* name;
        std::vector<std::wstring> clips;
        uint8_t videoFormat, screenFormat;
        std::string format, aspect;
    } cases[] = {
        {"automatic from a PAL 4:3 first movie", {pal43, ntsc169, anamorphic}, 0, 0, "PAL", "4/3"},
        {"automatic from an NTSC 16:9 first movie", {ntsc169, anamorphic, pal43}, 0, 0, "NTSC", "16/9"},
        {"forced NTSC 16:9", {anamorphic, pal43}, 2, 2, "NTSC", "16/9"},
    };
    // One engine for every case: each compilation starts from a clean state.
    SVDVDAuthor author;
    for (const auto& c : cases) {
        Wire(author);
        author.Clear();
        AddAll(author, c.clips);
        author.videoFormat = c.videoFormat;
        author.screenFormat = c.screenFormat;
        author.quality = 1;
        author.dvdFolder = Folder(std::string("disc ") + c.name);
        author.Compile();
        ASSERT_TRUE(Reports::Get().WaitEnded(120s)) << c.name;
        Reports& reports = Reports::Get();
        ASSERT_EQ(reports.finished, (std::vector<std::pair<int32_t, std::wstring>>{{1, L"Success"}})) << c.name;
        EXPECT_TRUE(reports.cancelled.empty());

        std::vector<std::string> entries;
        for (const auto& entry : std::filesystem::directory_iterator(platform::Narrow(author.dvdFolder))) {
            entries.push_back(entry.path().filename().string());
        }
        std::sort(entries.begin(), entries.end());
        EXPECT_EQ(entries, (std::vector<std::string>{"AUDIO_TS", "VIDEO_TS"})) << "the authoring tool cleans up after itself";
        const DvdLayout dvd = ReadDvd(platform::Narrow(author.dvdFolder));
        EXPECT_EQ(dvd.titles, 1) << dvd.output;
        EXPECT_EQ(dvd.format, c.format) << c.name;
        EXPECT_EQ(dvd.aspect, c.aspect) << c.name;
        ASSERT_EQ(dvd.chapterSeconds.size(), c.clips.size()) << dvd.output;
        for (size_t i = 0; i < c.clips.size(); ++i) {
            EXPECT_NEAR(dvd.chapterSeconds[i], author.GetMovie(i).duration, 1.0) << c.name << " chapter " << i;
        }

        // Progress rises to the total; the first movie counts whole once its encoder ended.
        ASSERT_FALSE(reports.progress.empty());
        EXPECT_EQ(reports.progress.back(), author.GetTotalDuration()) << c.name;
        const float first = static_cast<float>(author.GetMovie(0).duration);
        EXPECT_NE(std::find(reports.progress.begin(), reports.progress.end(), first), reports.progress.end()) << c.name;
        for (float value : reports.progress) EXPECT_LE(value, author.GetTotalDuration() + 0.5f);
        EXPECT_FALSE(reports.messages.empty());
        for (const auto& message : reports.messages) EXPECT_EQ(message.rfind(L"[Enc] ", 0), 0u);
        ExpectNothingLeft();
    }

    // The image maker measures the folder: at least the bytes of its files.
    const int32_t extents = SVMkisofsSizeCommand::GetImageSize(author.toolFolder, author.dvdFolder);
    const uint64_t bytes = FolderSize(author.dvdFolder);
    EXPECT_GE(static_cast<uint64_t>(extents) * 2048, bytes);
    EXPECT_LT(static_cast<uint64_t>(extents) * 2048, bytes + 2 * 1024 * 1024);
}

// Cancel with nothing running changes nothing; a cancel while the second of three movies
// is encoded stops everything, is reported once, and the engine compiles again afterwards.
TEST_F(CompileTest, CancelWhileTheSecondMovieIsEncoded) {
    const std::wstring shortClip = Clip("short.mp4", {320, 240, "25", 1});
    const std::wstring longClip = Clip("long.mp4", {320, 240, "25", 40});
    SVDVDAuthor author;
    Wire(author);
    author.Cancel();
    EXPECT_EQ(Reports::Get().Ends(), 0u);

    AddAll(author, {shortClip, longClip, shortClip});
    author.dvdFolder = Folder("cancelled");
    const float first = static_cast<float>(author.GetMovie(0).duration);
    const float second = static_cast<float>(author.GetMovie(1).duration);
    author.Compile();
    ASSERT_TRUE(Reports::Get().WaitFor(120s, [&](Reports& r) {
        return r.Ends() > 0 || (!r.progress.empty() && r.progress.back() > first + 0.1f);
    }));
    ASSERT_EQ(Reports::Get().Ends(), 0u) << "the long movie ended before it could be cancelled";
    const auto cancelledAt = std::chrono::steady_clock::now();
    author.Cancel();
    ASSERT_TRUE(Reports::Get().WaitEnded(20s));
    EXPECT_LT(std::chrono::steady_clock::now() - cancelledAt, 5s);
    std::this_thread::sleep_for(200ms);  // a second report would come now
    Reports& reports = Reports::Get();
    EXPECT_EQ(reports.cancelled, std::vector<std::wstring>{L"Success"});
    EXPECT_TRUE(reports.finished.empty());
    // The second movie counts whole; the third, never reached, not at all.
    EXPECT_EQ(reports.progress.back(), first + second);
    ExpectNothingLeft();

    Wire(author);
    author.Clear();
    AddAll(author, {shortClip});
    author.dvdFolder = Folder("after the cancel");
    author.Compile();
    ASSERT_TRUE(Reports::Get().WaitEnded(60s));
    EXPECT_EQ(Reports::Get().finished, (std::vector<std::pair<int32_t, std::wstring>>{{1, L"Success"}}));
    EXPECT_EQ(ReadDvd(platform::Narrow(author.dvdFolder)).chapterSeconds.size(), 1u);
    ExpectNothingLeft();
}

// Every way a compilation can fail ends with exactly one report of flag 0 that says what
// failed, in bounded time, with nothing left running.
TEST_F(CompileTest, FailuresEndWithFlagZeroAndSayWhy) {
    const std::wstring good = Clip("good.mp4", {320, 240, "25", 1});
    const std::string bad = temp / "bad.mp4";
    WriteFileBytes(bad, std::string(4096, '\x17'));
    const std::string realDvdauthor = BinFolder() + "/dvdauthor", realFfmpeg = BinFolder() + "/ffmpeg";
    const struct {
        const char* name;
        std::vector<std::wstring> clips;
        std::map<std::string, std::string> standIns;  // tool name -> script, or "" for the real tool
        std::wstring expected;                        // a part of the report's text
    } cases[] = {
        {"a corrupt file", {good, platform::Widen(bad)}, {}, L"Encoding \"" + platform::Widen(bad) + L"\" failed (exit status"},
        {"a missing tools folder", {good}, {{"-", ""}}, L"The authoring tool could not be started: "},
        {"an encoder that cannot start", {good}, {{"dvdauthor", ""}}, L"The encoder could not be started for \"" + good + L"\"."},
        {"an encoder that dies",
         {good},
         {{"dvdauthor", ""}, {"ffmpeg", "printf 'frame=1 time=0.5 x\\r'; head -c 100000 /dev/zero > \"$NF\"; kill -9 $$"}},
         L"failed (ended by signal 9)"},
        {"an authoring tool that never opens the description", {good, good}, {{"ffmpeg", ""}, {"dvdauthor", "sleep 0.3"}},
         L"The authoring tool ended before it had read \"" + good + L"\"."},
        {"an authoring tool that fails",
         {good},
         {{"ffmpeg", ""}, {"dvdauthor", "cat \"$4\" > /dev/null; echo 'ERR: no space left'; exit 3"}},
         L"The authoring tool failed (exit status 3): ERR: no space left."},
        {"a folder without VIDEO_TS.IFO",
         {good, good},
         {{"ffmpeg", ""},
          {"dvdauthor", "for vob in $(cat \"$4\" | grep -o 'file=\"[^\"]*\"' | cut -d'\"' -f2); do cat \"$vob\" > /dev/null; done"}},
         L"VIDEO_TS/VIDEO_TS.IFO is missing."},
    };
    for (const auto& c : cases) {
        SVDVDAuthor author;
        AddAll(author, c.clips);
        Wire(author);
        author.dvdFolder = Folder(std::string("disc ") + c.name);
        if (!c.standIns.empty()) {
            const std::string tools = temp / (std::string("tools ") + c.name);
            std::filesystem::create_directories(tools);
            for (const auto& [tool, script] : c.standIns) {
                if (tool == "-") continue;
                if (script.empty()) {
                    std::filesystem::create_symlink(BinFolder() + "/" + tool, tools + "/" + tool);
                } else {
                    // "$NF": the last argument, the encoder's output pipe.
                    WriteScript(tools + "/" + tool, "eval NF=\\${$#}\n" + script);
                }
            }
            author.toolFolder = platform::Widen(c.standIns.count("-") ? temp / "no such folder" : tools);
        }
        const auto started = std::chrono::steady_clock::now();
        author.Compile();
        ASSERT_TRUE(Reports::Get().WaitEnded(60s)) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 30s) << c.name;
        std::this_thread::sleep_for(100ms);  // a second report would come now
        Reports& reports = Reports::Get();
        ASSERT_EQ(reports.finished.size(), 1u) << c.name;
        EXPECT_TRUE(reports.cancelled.empty()) << c.name;
        EXPECT_EQ(reports.finished[0].first, 0) << c.name;
        EXPECT_NE(reports.finished[0].second.find(c.expected), std::wstring::npos)
            << c.name << ": " << platform::Narrow(reports.finished[0].second);
        ExpectNothingLeft();
    }
}

// Nothing is started for a list that cannot become a disc; the report comes at once.
TEST(SVDVDAuthorCompile, RefusesBeforeStartingAnything) {
    TempFolder temp;
    const struct {
        const char* name;
        std::vector<double> durations;
        std::wstring folder;
        std::wstring text;
    } cases[] = {
        {"no videos", {}, platform::Widen(temp / "a"), L"There are no videos to compile."},
        {"too long for the video rate", {36000, 36000}, platform::Widen(temp / "b"), L"The videos are too long for one DVD (20:00:00 in all)."},
        {"a folder that cannot be made", {10}, L"/proc/vidorra-cannot-be-made", L"The working folder \"/proc/vidorra-cannot-be-made\" could not be created."},
    };
    for (const auto& c : cases) {
        SVDVDAuthor author;
        Wire(author);
        for (double seconds : c.durations) Append(author, Movie(L"m.avi", seconds));
        author.dvdFolder = c.folder;
        author.Compile();
        EXPECT_EQ(Reports::Get().finished, (std::vector<std::pair<int32_t, std::wstring>>{{0, c.text}})) << c.name;
        EXPECT_TRUE(author.processes.empty()) << c.name;
        ExpectNothingLeft();
    }
}

}  // namespace
