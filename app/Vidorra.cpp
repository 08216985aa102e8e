#include "app/Vidorra.h"

Vidorra::Vidorra() = default;

void Vidorra::NewCompilation() {
    author.Clear();
    discLabel.clear();
}

void Vidorra::AddMovie(std::wstring path) {
    author.AddMovie(path);
    if (OnMovieAdded) OnMovieAdded();
}

void Vidorra::RemoveMovie(int index) {
    if (index >= 0) author.RemoveMovie(static_cast<size_t>(index));
}

void Vidorra::MoveMovie(int to, int from) {
    if (to >= 0 && from >= 0) author.MoveMovie(static_cast<size_t>(to), static_cast<size_t>(from));
}

bool Vidorra::SelectedBurner(SVBurner& burner) const {
    const SVBurner* selected = recorder.BurnerAt(settings.burnerIndex);
    if (!selected) return false;
    burner = *selected;
    return true;
}

void Vidorra::PrepareMedium() {
    SVBurner burner;
    if (!SelectedBurner(burner)) {
        if (OnBlankFinished) OnBlankFinished(0, kNoBurnerText);
        return;
    }
    burner.finishedHook = OnBlankFinished;
    burner.lineHook = OnBlankLine;
    const SVMedia media = recorder.Inspect(burner);
    if (media.erasable && !media.blank && media.mediaType.find("DVD+RW") == std::string::npos) {
        recorder.Blank(burner);
    } else if (OnBlankFinished) {
        OnBlankFinished(1, L"");
    }
}

void Vidorra::StartCompilation() {
    author.onProgress = OnEncodeProgress;
    author.onMessage = OnEncodeLine;
    author.onFinished = OnEncodeFinished;
    author.onCancelled = OnEncodeCancelled;
    author.videoFormat = settings.videoFormat;
    author.screenFormat = settings.screenFormat;
    author.quality = settings.quality;
    author.Compile();
}

void Vidorra::StartBurn() {
    SVBurner burner;
    if (!SelectedBurner(burner)) {
        if (OnBurnFinished) OnBurnFinished(0, kNoBurnerText);
        return;
    }
    burner.speed = settings.burnerSpeed;
    burner.finishedHook = OnBurnFinished;
    burner.lineHook = OnBurnLine;
    recorder.Burn(burner, GetWorkingFolder(), discLabel);
}

void Vidorra::Cancel() { author.Cancel(); }
