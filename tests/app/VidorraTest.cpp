#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "app/Vidorra.h"
#include "platform/TextCodec.h"
#include "tests/support/Clips.h"
#include "tests/support/DvdReader.h"
#include "tests/support/Leftovers.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualDrives.h"

namespace {

using namespace std::chrono_literals;

// The ends the application object reported (its callbacks carry no context).
struct Ends {
    static Ends& Get() {
        static Ends ends;
        return ends;
    }
    static void Blank(int32_t flag, std::wstring text) { Get().Add("blank", flag, text); }
    static void Burn(int32_t flag, std::wstring text) { Get().Add("burn", flag, text); }
    static void Encode(int32_t flag, std::wstring text) { Get().Add("encode", flag, text); }
    void Add(const std::string& kind, int32_t flag, const std::wstring& text) {
        std::lock_guard<std::mutex> lock(mutex);
        reports.push_back(kind + " " + std::to_string(flag) + " " + platform::Narrow(text));
        changed.notify_all();
    }
    std::vector<std::string> WaitFor(size_t count, std::chrono::seconds timeout) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, timeout, [&] { return reports.size() >= count; });
        return reports;
    }
    std::vector<std::string> Now() {
        std::lock_guard<std::mutex> lock(mutex);
        return reports;
    }
    void Reset() {
        std::lock_guard<std::mutex> lock(mutex);
        reports.clear();
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> reports;
};

SVDVDAuthorMovie Movie(const wchar_t* name, double seconds) {
    SVDVDAuthorMovie movie;
    movie.fileName = name;
    movie.duration = seconds;
    return movie;
}

std::vector<std::wstring> Order(Vidorra& v) {
    std::vector<std::wstring> names;
    for (size_t i = 0; i < v.author.movies.size(); ++i) names.push_back(v.GetMovieFileName(static_cast<int>(i)));
    return names;
}

TEST(Vidorra, ListLabelAndEmptiness) {
    Vidorra v;
    EXPECT_TRUE(v.IsEmpty());
    int added = 0;
    v.OnMovieAdded = [&] { ++added; };
    v.AddMovie(L"/nonexistent/a.avi");
    EXPECT_EQ(added, 1);
    EXPECT_TRUE(v.IsEmpty()) << "every movie has duration 0";
    v.author.Clear();
    for (const wchar_t* name : {L"A", L"B", L"C"}) {
        v.author.movies.push_back(Movie(name, 2));
        v.author.movieProgress.push_back(0);
    }
    EXPECT_FALSE(v.IsEmpty());
    v.MoveMovie(1, 1);
    EXPECT_EQ(Order(v), (std::vector<std::wstring>{L"A", L"B", L"C"}));
    v.MoveMovie(0, 1);  // up
    EXPECT_EQ(Order(v), (std::vector<std::wstring>{L"B", L"A", L"C"}));
    v.MoveMovie(2, 1);  // down
    EXPECT_EQ(Order(v), (std::vector<std::wstring>{L"B", L"C", L"A"}));
    v.MoveMovie(-1, 0);
    v.RemoveMovie(-1);
    EXPECT_EQ(Order(v), (std::vector<std::wstring>{L"B", L"C", L"A"}));
    v.RemoveMovie(0);
    EXPECT_EQ(Order(v), (std::vector<std::wstring>{L"C", L"A"}));
    v.SetDiscLabel(L"Holiday");
    v.SetWorkingFolder(L"/w");
    EXPECT_EQ(v.GetWorkingFolder(), L"/w");
    v.NewCompilation();
    EXPECT_TRUE(v.discLabel.empty());
    EXPECT_TRUE(v.author.movies.empty());
}

class VidorraDriveTest : public testing::Test {
protected:
    void SetUp() override {
        Ends::Get().Reset();
        v.ResetRecorder(platform::Widen(BinFolder()));
        v.OnBlankFinished = Ends::Blank;
        v.OnBurnFinished = Ends::Burn;
    }
    void Scan(int index) {
        v.recorder.Scan();
        v.settings.burnerIndex = index;
    }
    TempFolder temp;
    VirtualDrives drives{temp / "drives"};
    Vidorra v;
};

// Nothing to blank: the report comes at once, before PrepareMedium returns, and the disc
// is untouched.
TEST_F(VidorraDriveTest, PrepareMediumWithoutBlanking) {
    const struct {
        const char* name;
        const char* media;
        const char* status;
    } cases[] = {
        {"a blank DVD-R", "DVD-R", "empty"},
        {"a disc that cannot be erased", "DVD-R", "complete"},
        {"a DVD+RW with data", "DVD+RW", "complete"},
    };
    int target = 0;
    for (const auto& c : cases) {
        const std::string name = "d" + std::to_string(target);
        drives.Add(name, "9," + std::to_string(target) + ",0", c.media, c.status, 2298496, "data");
        Scan(target++);
        Ends::Get().Reset();
        v.PrepareMedium();
        EXPECT_EQ(Ends::Get().Now(), std::vector<std::string>{"blank 1 "}) << c.name;
        EXPECT_EQ(drives.Status(name), c.status) << c.name;
    }
}

TEST_F(VidorraDriveTest, PrepareMediumBlanksARewritableDiscWithData) {
    drives.Add("rw", "9,0,0", "DVD-RW", "complete", 2297888, "data");
    Scan(0);
    v.PrepareMedium();
    EXPECT_EQ(Ends::Get().WaitFor(1, 30s), std::vector<std::string>{"blank 1 "});
    EXPECT_EQ(drives.Status("rw"), "empty");
}

TEST_F(VidorraDriveTest, NoBurnerAtTheChosenPosition) {
    Scan(3);  // no drive at all
    v.PrepareMedium();
    v.StartBurn();
    const std::string text = platform::Narrow(Vidorra::kNoBurnerText);
    EXPECT_EQ(Ends::Get().Now(), (std::vector<std::string>{"blank 0 " + text, "burn 0 " + text}));
}

// The settings reach the compilation; a cancel during the burn leaves the burn alone.
TEST_F(VidorraDriveTest, CompileWithTheSettingsThenBurnThroughACancel) {
    const std::string image = drives.Add("r", "9,0,0", "DVD-R", "empty", 2298496);
    Scan(0);
    const std::string clip = temp / "clip.mp4";
    ASSERT_TRUE(MakeClip(clip, {320, 240, "25", 1}));
    v.OnEncodeFinished = Ends::Encode;
    v.NewCompilation();
    v.AddMovie(platform::Widen(clip));
    v.settings.videoFormat = 2;
    v.settings.screenFormat = 2;
    v.SetWorkingFolder(platform::Widen(temp / "work"));
    v.StartCompilation();
    ASSERT_EQ(Ends::Get().WaitFor(1, 60s), std::vector<std::string>{"encode 1 Success"});
    const DvdLayout folder = ReadDvd(temp / "work");
    EXPECT_EQ(folder.format, "NTSC");
    EXPECT_EQ(folder.aspect, "16/9");

    v.SetDiscLabel(L"TRIP");
    v.settings.burnerSpeed = 8;
    v.StartBurn();
    v.Cancel();
    EXPECT_EQ(Ends::Get().WaitFor(2, 60s), (std::vector<std::string>{"encode 1 Success", "burn 1 "}));
    EXPECT_EQ(ReadDvd(image).discTitle, "TRIP");
    EXPECT_TRUE(WaitUntil([] { return ChildPids().empty(); }, 1s));
}

}  // namespace
