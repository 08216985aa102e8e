#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "authoring/SVDVDAuthor.h"
#include "burning/SVCDRecord.h"
#include "process/Callbacks.h"
#include "process/SVLog.h"
#include "settings/VidorraSetting.h"
#include "version/SVVersion.h"

// The one point through which a front end (the window, the command line) reaches the
// engines: settings, the movie list and its compilation, the log, the version, the disc
// label and the burners. The engines report through the callbacks below, on their own
// threads; a null callback is skipped.
class Vidorra {
public:
    Vidorra();
    virtual ~Vidorra() = default;
    Vidorra(const Vidorra&) = delete;
    Vidorra& operator=(const Vidorra&) = delete;

    virtual void NewCompilation();
    virtual void AddMovie(std::wstring path);
    virtual void RemoveMovie(int index);
    // Inspects the medium in the selected burner and fast-blanks an erasable one that holds
    // data (never a DVD+RW); OnBlankFinished reports the end, at once when nothing is blanked.
    virtual void PrepareMedium();
    virtual void StartCompilation();
    virtual void StartBurn();
    // Stops a compilation; a blank or burn runs to its end.
    virtual void Cancel();
    virtual void MoveMovie(int to, int from);

    std::wstring GetMovieFileName(int index) const { return author.GetMovieFileName(static_cast<size_t>(index)); }
    SVDVDAuthorMovie& GetMovie(int index) { return author.GetMovie(static_cast<size_t>(index)); }
    float GetTotalDuration() const { return author.GetTotalDuration(); }
    bool IsEmpty() const { return GetTotalDuration() == 0.0f; }
    void LoadSettings(std::wstring path) { settings.Load(path); }
    void SaveSettings(std::wstring path) { settings.Save(path); }
    void ResetRecorder(const std::wstring& toolFolder) { recorder = SVCDRecord(toolFolder); }
    std::wstring GetWorkingFolder() const { return author.dvdFolder; }
    void SetWorkingFolder(const std::wstring& path) { author.dvdFolder = path; }
    void SetDiscLabel(const std::wstring& text) { discLabel = text; }

    VidorraSetting settings;
    SVDVDAuthor author;
    SVLog log;
    SVVersion version;
    std::wstring discLabel;
    std::function<void()> OnMovieAdded;
    FinishedCallback OnEncodeFinished = nullptr;
    TextCallback OnEncodeCancelled = nullptr;
    TextCallback OnEncodeLine = nullptr;
    ValueCallback OnEncodeProgress = nullptr;
    FinishedCallback OnBlankFinished = nullptr;
    TextCallback OnBlankLine = nullptr;
    FinishedCallback OnBurnFinished = nullptr;
    TextCallback OnBurnLine = nullptr;
    SVCDRecord recorder;

    static constexpr const wchar_t* kNoBurnerText = L"No burner was found at the chosen position.";

private:
    // A copy of the selected burner, or false when the setting points outside the list.
    bool SelectedBurner(SVBurner& burner) const;
};

// The program's one application object (defined by the front ends that use it).
extern Vidorra theVidorra;
