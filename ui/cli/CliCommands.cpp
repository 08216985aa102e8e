#include "ui/cli/CliCommands.h"

#include <cstdio>

#include "platform/ExecutablePath.h"
#include "platform/TextCodec.h"
#include "settings/PathHelpers.h"
#include "ui/LogHeader.h"
#include "ui/MediumChecks.h"
#include "ui/TrackProgress.h"
#include "ui/cli/CliEvents.h"
#include "ui/cli/CliProgress.h"

namespace cli {
namespace {

using std::chrono::milliseconds;

void Say(const std::wstring& text) { std::fprintf(stderr, "%s\n", platform::Narrow(text).c_str()); }
void Say(const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }

void LoadSettings(Context& c) {
    c.vidorra.LoadSettings(c.options.settingsFile ? *c.options.settingsFile : VidorraSetting::DefaultPath());
    ApplyOptions(c.options, c.vidorra.settings);
    c.vidorra.ResetRecorder(platform::ExecutableFolder());
    CliEvents::Wire(c.vidorra);
}

// Waits for the end event of a job, drawing progress and logging lines on the way.
CliEvent AwaitEnd(Context& c, CliEventKind end, CliProgress* progress, double total) {
    bool cancelSent = false;
    for (;;) {
        if (c.interrupted && !cancelSent) {
            c.vidorra.Cancel();
            cancelSent = true;
            // A blank or a burn cannot be stopped without spoiling the disc.
            if (end != CliEventKind::encodeFinished) Say("The disc is being written and cannot be stopped; waiting for the end.");
        }
        CliEvent event;
        if (!CliEvents::Queue().Wait(event, milliseconds(100))) continue;
        switch (event.kind) {
            case CliEventKind::encodeProgress:
                if (progress && total > 0) progress->Update(event.seconds / total);
                break;
            case CliEventKind::encodeLine:
            case CliEventKind::blankLine:
                c.vidorra.log.Write(event.text);
                break;
            case CliEventKind::burnLine: {
                c.vidorra.log.Write(event.text);
                int64_t written = 0, all = 0;
                if (progress && event.text.rfind(L"[cdr] Track", 0) == 0 &&
                    ParseTrackProgress(platform::Narrow(event.text), written, all) && all > 0) {
                    progress->Update(static_cast<double>(written) / static_cast<double>(all));
                }
                break;
            }
            default:
                break;
        }
        if (event.kind == end || (end == CliEventKind::encodeFinished && event.kind == CliEventKind::encodeCancelled)) {
            return event;
        }
    }
}

bool SelectBurner(Context& c, SVBurner& burner) {
    const SVBurner* selected = c.vidorra.recorder.BurnerAt(c.vidorra.settings.burnerIndex);
    if (!selected) {
        Say("No burner number " + std::to_string(c.vidorra.settings.burnerIndex) + ": `vidorra-cli drives` lists them.");
        return false;
    }
    burner = *selected;
    return true;
}

// The checks the wizard makes, without questions: an erase needs --erase. Gives the
// selected burner and what is in it.
int CheckDisc(Context& c, SVBurner& burner, SVMedia& media) {
    if (!SelectBurner(c, burner)) return kDiscProblem;
    media = c.vidorra.recorder.Inspect(burner);
    const MediumVerdict verdict = JudgeMedium(media);
    if (verdict == MediumVerdict::ready) return kOk;
    if (verdict == MediumVerdict::askErase && c.options.erase) return kOk;
    Say(MediumCaption(verdict) + L" " + MediumMessage(verdict, media));
    if (verdict == MediumVerdict::askErase) Say("Pass --erase to agree.");
    return kDiscProblem;
}

int BurnFolder(Context& c, const std::wstring& folder, bool removeAfter) {
    SVBurner burner;
    SVMedia media;
    if (const int status = CheckDisc(c, burner, media); status != kOk) return status;
    if (!FolderFits(FolderSize(folder), media)) {
        Say(std::wstring(kTooBigCaption) + L" " + kTooBigText);
        return kDiscProblem;
    }
    if (!c.options.speed || *c.options.speed == 0) {
        c.vidorra.settings.burnerSpeed = ChooseSpeed(burner.speeds, c.options.speed ? 0 : c.vidorra.settings.burnerSpeed);
    }
    c.vidorra.SetWorkingFolder(folder);
    WriteStartHeader(c.vidorra.log, true);
    c.vidorra.log.Write(L"Burning " + folder + L" on " + platform::Widen(burner.displayName));

    c.vidorra.PrepareMedium();
    const CliEvent blank = AwaitEnd(c, CliEventKind::blankFinished, nullptr, 0);
    if (blank.flag == 0) {
        Say(L"Erasing the disc failed: " + blank.text);
        return kJobFailed;
    }
    CliProgress progress(stdout, c.terminal);
    progress.Start("Burning ");
    c.vidorra.StartBurn();
    const CliEvent burned = AwaitEnd(c, CliEventKind::burnFinished, &progress, 0);
    if (burned.flag == 0) {
        std::printf("\n");
        Say(L"The burn failed: " + burned.text);
        return kJobFailed;
    }
    progress.Finish();
    if (c.vidorra.settings.eject) c.vidorra.recorder.Eject(burner);
    if (removeAfter) DeleteFolder(folder);
    std::printf("Burned %s\n", platform::Narrow(folder).c_str());
    return kOk;
}

}  // namespace

int32_t ChooseSpeed(const std::vector<SVBurnerSpeed>& speeds, int32_t setting) {
    if (speeds.empty()) return setting;
    int32_t chosen = -1;
    for (size_t i = 0; i < speeds.size(); ++i) {
        if (i > 0 && speeds[i].factor == speeds[i - 1].factor) continue;
        if (speeds[i].factor <= setting) chosen = speeds[i].factor;
    }
    return chosen < 0 ? speeds.front().factor : chosen;
}

int Compile(Context& c) {
    LoadSettings(c);
    Vidorra& v = c.vidorra;
    WriteStartHeader(v.log, false);
    const bool burn = v.settings.burnEnabled;
    if (burn) {
        v.recorder.Scan();
        SVBurner burner;
        SVMedia media;
        if (const int status = CheckDisc(c, burner, media); status != kOk) return status;
    }
    v.NewCompilation();
    if (c.options.label) v.SetDiscLabel(*c.options.label);
    for (const std::wstring& file : c.options.files) {
        v.AddMovie(file);
        if (v.GetMovie(static_cast<int>(v.author.movies.size()) - 1).duration <= 0) {
            Say(file + L": not a video file Vidorra can read.");
            return kBadFile;
        }
    }
    // As the wizard does: a folder named after the first video inside the settings' working
    // folder, unless --folder names the folder itself.
    const std::wstring base = v.settings.workingFolder.empty() ? VidorraSetting::DefaultWorkingFolder() : v.settings.workingFolder;
    const std::wstring folder = c.options.workingFolder ? *c.options.workingFolder
                                                        : WithTrailingBackslash(base) + BaseNameOf(c.options.files.front());
    if (PathExists(folder)) {
        if (!c.options.replace) {
            Say(L"The working folder " + folder + L" exists; pass --replace to delete it first.");
            return kFolderExists;
        }
        DeleteFolder(folder);
    }
    v.SetWorkingFolder(folder);
    v.log.Write(L"Compiling " + std::to_wstring(v.author.movies.size()) + L" videos into " + folder);

    CliProgress progress(stdout, c.terminal);
    progress.Start("Encoding");
    v.StartCompilation();
    const CliEvent end = AwaitEnd(c, CliEventKind::encodeFinished, &progress, v.GetTotalDuration());
    if (end.kind == CliEventKind::encodeCancelled) {
        std::printf("\n");
        Say("Cancelled.");
        return kCancelled;
    }
    if (end.flag == 0) {
        std::printf("\n");
        Say(L"The compilation failed: " + end.text);
        return kJobFailed;
    }
    progress.Finish();
    std::printf("DVD-Video folder ready: %s\n", platform::Narrow(folder).c_str());
    if (!burn) return kOk;
    return BurnFolder(c, folder, v.settings.removeFiles);
}

int Burn(Context& c) {
    LoadSettings(c);
    const std::wstring folder = WithoutTrailingBackslash(c.options.files.front());
    if (!PathExists(WithTrailingBackslash(folder) + L"VIDEO_TS/VIDEO_TS.IFO")) {
        Say(folder + L" is not a DVD-Video folder (no VIDEO_TS/VIDEO_TS.IFO).");
        return kBadFile;
    }
    if (c.options.label) c.vidorra.SetDiscLabel(*c.options.label);
    c.vidorra.recorder.Scan();
    // A folder named by the user is only removed when asked for here.
    return BurnFolder(c, folder, c.options.removeFiles.value_or(false));
}

int Info(Context& c) {
    LoadSettings(c);
    int status = kOk;
    for (const std::wstring& file : c.options.files) {
        c.vidorra.AddMovie(file);
        const SVDVDAuthorMovie& movie = c.vidorra.GetMovie(static_cast<int>(c.vidorra.author.movies.size()) - 1);
        std::printf("%s\n", platform::Narrow(file).c_str());
        for (const std::wstring& line : movie.infoLines) std::printf("  %s\n", platform::Narrow(line).c_str());
        if (movie.duration <= 0) {
            std::printf("  not a video file Vidorra can read\n");
            status = kBadFile;
        }
    }
    return status;
}

int Drives(Context& c) {
    LoadSettings(c);
    c.vidorra.recorder.Scan();
    const auto& burners = c.vidorra.recorder.burners;
    if (burners.empty()) std::printf("No burner found.\n");
    for (size_t i = 0; i < burners.size(); ++i) {
        SVBurner burner = burners[i];
        std::string speeds;
        for (const SVBurnerSpeed& speed : burner.speeds) speeds += " " + std::to_string(speed.factor) + "x";
        const SVMedia media = c.vidorra.recorder.Inspect(burner);
        std::string disc = "no disc";
        if (media.discPresent) {
            char size[32];
            std::snprintf(size, sizeof size, "%.2f GB", static_cast<double>(media.physicalSize) / 1e9);
            disc = media.mediaType + ", " + (media.blank ? "blank" : "holds data") + (media.erasable ? ", erasable" : "") + ", " + size;
        }
        std::printf("%zu: %s (dev=%s)\n   speeds:%s\n   disc: %s\n", i, burner.displayName.c_str(), burner.address.c_str(),
                    speeds.empty() ? " none" : speeds.c_str(), disc.c_str());
    }
    return kOk;
}

}  // namespace cli
