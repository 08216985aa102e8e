#include <gtest/gtest.h>

#include "platform/TextCodec.h"
#include "settings/SVIniFile.h"
#include "settings/VidorraSetting.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace {

std::wstring HomeDocuments() { return platform::Widen(std::string(getenv("HOME")) + "/Documents/RavuvuzIridezi"); }

VidorraSetting LoadFrom(const std::string& text) {
    TempFolder temp;
    WriteFileBytes(temp / "settings.ini", text);
    VidorraSetting s;
    s.Load(platform::Widen(temp / "settings.ini"));
    return s;
}

TEST(VidorraSetting, ConstructorGivesInitialValues) {
    const VidorraSetting s;
    EXPECT_TRUE(s.vistaTheme);
    EXPECT_TRUE(s.checkVersionRemind);
    EXPECT_TRUE(s.checkVersion);
    EXPECT_EQ(s.workingFolder, HomeDocuments());
    EXPECT_EQ(s.videoFormat, 0);
    EXPECT_EQ(s.screenFormat, 0);
    EXPECT_EQ(s.quality, 0);
    EXPECT_EQ(s.burnerIndex, 0);
    EXPECT_EQ(s.burnerSpeed, 706);
    EXPECT_TRUE(s.burnEnabled);
    EXPECT_TRUE(s.removeFiles);
    EXPECT_TRUE(s.eject);
}

TEST(VidorraSetting, MissingFileGivesTheMissingKeyDefaults) {
    TempFolder temp;
    VidorraSetting s;
    s.vistaTheme = false;
    s.burnerIndex = 7;
    s.workingFolder = L"/elsewhere";
    s.Load(platform::Widen(temp / "none.ini"));
    EXPECT_TRUE(s.vistaTheme);
    EXPECT_EQ(s.videoFormat, 2);
    EXPECT_EQ(s.screenFormat, 1);
    EXPECT_EQ(s.quality, 0);
    EXPECT_EQ(s.burnerIndex, 0);
    EXPECT_EQ(s.burnerSpeed, 5644);
    EXPECT_EQ(s.workingFolder, HomeDocuments());
}

TEST(VidorraSetting, SaveWritesEveryKeyInFileOrder) {
    TempFolder temp;
    VidorraSetting s;
    s.workingFolder = L"/w";
    s.checkVersion = false;
    s.burnerSpeed = -4;
    ASSERT_TRUE(s.Save(platform::Widen(temp / "q/settings.ini")));
    EXPECT_EQ(ReadFileBytes(temp / "q/settings.ini"),
              "[Burner]\nburnEnabled=true\nburnerIndex=0\nburnerSpeed=-4\neject=true\nremoveFiles=true\n\n"
              "[Encoding]\nworkingFolder=/w\n\n"
              "[Format]\nquality=0\nscreenFormat=0\nvideoFormat=0\n\n"
              "[Window]\ncheckVersion=false\ncheckVersionRemind=true\nvistaTheme=true\n\n");
}

TEST(VidorraSetting, RoundTripRestoresEveryField) {
    TempFolder temp;
    const std::wstring path = platform::Widen(temp / "settings.ini");
    VidorraSetting s;
    s.vistaTheme = true;
    s.checkVersionRemind = false;
    s.checkVersion = false;
    s.workingFolder = L"/home/j\u00FCrgen/Vid\u00E9os/\u0424\u0438\u043B\u044C\u043C\u044B [2024]";
    s.videoFormat = 1;
    s.screenFormat = 2;
    s.quality = 2;
    s.burnerIndex = 3;
    s.burnerSpeed = 2822;
    s.burnEnabled = false;
    s.removeFiles = false;
    s.eject = false;
    ASSERT_TRUE(s.Save(path));

    VidorraSetting back;
    back.Load(path);
    EXPECT_EQ(back.vistaTheme, true);
    EXPECT_EQ(back.checkVersionRemind, false);
    EXPECT_EQ(back.checkVersion, false);
    EXPECT_EQ(back.workingFolder, s.workingFolder);
    EXPECT_EQ(back.videoFormat, 1);
    EXPECT_EQ(back.screenFormat, 2);
    EXPECT_EQ(back.quality, 2);
    EXPECT_EQ(back.burnerIndex, 3);
    EXPECT_EQ(back.burnerSpeed, 2822);
    EXPECT_EQ(back.burnEnabled, false);
    EXPECT_EQ(back.removeFiles, false);
    EXPECT_EQ(back.eject, false);
}

TEST(VidorraSetting, ReadsTheValueEncodings) {
    const VidorraSetting a = LoadFrom("[Window]\nvistaTheme=True\ncheckVersion=\ncheckVersionRemind= true\n"
                                      "[Format]\nvideoFormat=258\nscreenFormat=  -1\nquality=1abc\n"
                                      "[Encoding]\nworkingFolder=\n");
    EXPECT_FALSE(a.vistaTheme);
    EXPECT_TRUE(a.checkVersion);
    EXPECT_FALSE(a.checkVersionRemind);
    EXPECT_EQ(a.videoFormat, 2);
    EXPECT_EQ(a.screenFormat, 255);
    EXPECT_EQ(a.quality, 1);
    EXPECT_EQ(a.workingFolder, HomeDocuments());
    // No Burner section at all.
    EXPECT_EQ(a.burnerSpeed, 5644);
    EXPECT_TRUE(a.burnEnabled);
    EXPECT_TRUE(a.removeFiles);
    EXPECT_TRUE(a.eject);
}

TEST(VidorraSetting, IntegerParsing) {
    const struct {
        const wchar_t* text;
        int32_t expected;
    } cases[] = {
        {L"0", 0},          {L"5644", 5644},      {L"-12", -12},        {L"+7", 7},
        {L"  42", 42},      {L"\t9x", 9},         {L"abc", 99},         {L"-", 99},
        {L"", 99},          {L"99999999999", 2147483647}, {L"-99999999999", -2147483647 - 1},
        {L"2147483647", 2147483647}, {L"-2147483648", -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseSettingInt(c.text, 99), c.expected) << platform::Narrow(c.text);
}

TEST(VidorraSetting, DefaultPathIsUnderQuorvel) {
    EXPECT_EQ(VidorraSetting::DefaultPath(),
              platform::Widen(std::string(getenv("HOME")) + "/.config/Quorvel/RavuvuzIridezi/settings.ini"));
}

}  // namespace
