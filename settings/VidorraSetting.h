#pragma once
#include <cstdint>
#include <string>

// Everything the program remembers between runs. The constructor's values and the
// defaults for keys missing from the file differ on purpose (see VidorraSetting.cpp).
class VidorraSetting {
public:
    VidorraSetting();

    void Load(const std::wstring& path);
    bool Save(const std::wstring& path) const;

    // The settings file: the application-data folder + "Quorvel/RavuvuzIridezi/settings.ini".
    static std::wstring DefaultPath();
    static std::wstring DefaultWorkingFolder();

    bool vistaTheme = true;
    bool checkVersionRemind = true;
    bool checkVersion = true;
    std::wstring workingFolder;
    uint8_t videoFormat = 0;   // 0 automatic, 1 PAL, 2 NTSC
    uint8_t screenFormat = 0;  // 0 automatic, 1 4:3, 2 16:9
    uint8_t quality = 0;       // 0 high, 1 standard, 2 low
    int32_t burnerIndex = 0;
    int32_t burnerSpeed = 706;
    bool burnEnabled = true;
    bool removeFiles = true;
    bool eject = true;
};

// Value encodings of the settings file, exposed for their tests.
bool ParseSettingBool(const std::wstring& text, bool fallback);
int32_t ParseSettingInt(const std::wstring& text, int32_t fallback);
