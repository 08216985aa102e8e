#include "settings/VidorraSetting.h"

#include <cwctype>
#include <limits>

#include "settings/PathHelpers.h"
#include "settings/SVIniFile.h"

namespace {

// A fresh install without a settings file runs with NTSC, 4:3 and speed 5644.
constexpr uint8_t kDefaultVideoFormat = 2;
constexpr uint8_t kDefaultScreenFormat = 1;
constexpr uint8_t kDefaultQuality = 0;
constexpr int32_t kDefaultBurnerIndex = 0;
constexpr int32_t kDefaultBurnerSpeed = 5644;

std::wstring BoolText(bool value) { return value ? L"true" : L"false"; }

uint8_t LowByte(int32_t value) { return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF); }

}  // namespace

bool ParseSettingBool(const std::wstring& text, bool fallback) {
    if (text.empty()) return fallback;
    return text == L"true";
}

int32_t ParseSettingInt(const std::wstring& text, int32_t fallback) {
    if (text.empty()) return fallback;
    size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    // Text that does not start with a number keeps the key's default; out-of-range
    // numbers are clamped rather than wrapped.
    if (i >= text.size() || text[i] < L'0' || text[i] > L'9') return fallback;
    int64_t value = 0;
    constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > limit) value = limit;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

VidorraSetting::VidorraSetting() : workingFolder(DefaultWorkingFolder()) {}

std::wstring VidorraSetting::DefaultPath() {
    return WithTrailingBackslash(AppDataFolder()) + L"Quorvel/RavuvuzIridezi/settings.ini";
}

std::wstring VidorraSetting::DefaultWorkingFolder() { return DocumentsFolder() + L"/RavuvuzIridezi"; }

void VidorraSetting::Load(const std::wstring& path) {
    SVIniFile ini;
    ini.Load(path);
    auto value = [&](const wchar_t* section, const wchar_t* key) -> const std::wstring& {
        return ini.GetSection(section).GetValue(key);
    };
    vistaTheme = ParseSettingBool(value(L"Window", L"vistaTheme"), true);
    checkVersion = ParseSettingBool(value(L"Window", L"checkVersion"), true);
    checkVersionRemind = ParseSettingBool(value(L"Window", L"checkVersionRemind"), true);
    videoFormat = LowByte(ParseSettingInt(value(L"Format", L"videoFormat"), kDefaultVideoFormat));
    screenFormat = LowByte(ParseSettingInt(value(L"Format", L"screenFormat"), kDefaultScreenFormat));
    quality = LowByte(ParseSettingInt(value(L"Format", L"quality"), kDefaultQuality));
    const std::wstring& folder = value(L"Encoding", L"workingFolder");
    workingFolder = folder.empty() ? DefaultWorkingFolder() : folder;
    burnerIndex = ParseSettingInt(value(L"Burner", L"burnerIndex"), kDefaultBurnerIndex);
    burnerSpeed = ParseSettingInt(value(L"Burner", L"burnerSpeed"), kDefaultBurnerSpeed);
    burnEnabled = ParseSettingBool(value(L"Burner", L"burnEnabled"), true);
    removeFiles = ParseSettingBool(value(L"Burner", L"removeFiles"), true);
    eject = ParseSettingBool(value(L"Burner", L"eject"), true);
}

bool VidorraSetting::Save(const std::wstring& path) const {
    SVIniFile ini;
    SVIniFileValue& window = ini.GetSection(L"Window");
    window.GetValue(L"vistaTheme") = BoolText(vistaTheme);
    window.GetValue(L"checkVersion") = BoolText(checkVersion);
    window.GetValue(L"checkVersionRemind") = BoolText(checkVersionRemind);
    SVIniFileValue& format = ini.GetSection(L"Format");
    format.GetValue(L"videoFormat") = std::to_wstring(videoFormat);
    format.GetValue(L"screenFormat") = std::to_wstring(screenFormat);
    format.GetValue(L"quality") = std::to_wstring(quality);
    ini.GetSection(L"Encoding").GetValue(L"workingFolder") = workingFolder;
    SVIniFileValue& burner = ini.GetSection(L"Burner");
    burner.GetValue(L"burnerIndex") = std::to_wstring(burnerIndex);
    burner.GetValue(L"burnerSpeed") = std::to_wstring(burnerSpeed);
    burner.GetValue(L"burnEnabled") = BoolText(burnEnabled);
    burner.GetValue(L"removeFiles") = BoolText(removeFiles);
    burner.GetValue(L"eject") = BoolText(eject);
    return ini.Save(path);
}
