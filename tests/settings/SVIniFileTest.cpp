#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/TextCodec.h"
#include "settings/SVIniFile.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace {

using Pairs = std::map<std::wstring, std::map<std::wstring, std::wstring>>;

Pairs Contents(const SVIniFile& ini) {
    Pairs out;
    for (const auto& [name, section] : ini.sections) {
        for (const auto& [key, value] : section.values) out[name][key] = value;
        if (section.values.empty()) out[name];
    }
    return out;
}

Pairs LoadText(const std::string& text) {
    TempFolder temp;
    WriteFileBytes(temp / "f.ini", text);
    SVIniFile ini;
    EXPECT_TRUE(ini.Load(platform::Widen(temp / "f.ini")));
    return Contents(ini);
}

struct LoadCase {
    const char* name;
    std::string text;
    Pairs expected;
};

TEST(SVIniFile, LoadsTheDialect) {
    const std::string longValue(10000, 'v');
    const LoadCase cases[] = {
        {"bracket inside value", "[E]\nworkingFolder=/x/[old]\n", {{L"E", {{L"workingFolder", L"/x/[old]"}}}}},
        {"empty key and empty value", "[S]\n=v\nk=\n", {{L"S", {{L"", L"v"}, {L"k", L""}}}}},
        {"later equals belong to value", "[S]\na=b=c\n", {{L"S", {{L"a", L"b=c"}}}}},
        {"nothing trimmed", "[S]\n k = v \n", {{L"S", {{L" k ", L" v "}}}}},
        {"last character of header dropped whatever it is", "[Window)\na=1\n", {{L"Window", {{L"a", L"1"}}}}},
        {"later section replaces earlier", "[S]\na=1\nb=2\n[T]\nx=y\n[S]\na=3\n",
         {{L"S", {{L"a", L"3"}}}, {L"T", {{L"x", L"y"}}}}},
        {"same key twice keeps the last", "[S]\na=1\na=2\n", {{L"S", {{L"a", L"2"}}}}},
        {"no final line end", "[S]\na=1\nb=2", {{L"S", {{L"a", L"1"}, {L"b", L"2"}}}}},
        {"empty file", "", {}},
        {"header without pairs makes no section", "[Empty]\n[S]\na=1\n[Trailing]\n", {{L"S", {{L"a", L"1"}}}}},
        {"pairs before any header", "a=1\n[S]\nb=2\n", {{L"", {{L"a", L"1"}}}, {L"S", {{L"b", L"2"}}}}},
        {"lines without equals ignored", "[S]\njunk\n\n; not a comment=really\n",
         {{L"S", {{L"; not a comment", L"really"}}}}},
        {"CR LF line ends", "[S]\r\na=1\r\n", {{L"S", {{L"a", L"1"}}}}},
        {"case-sensitive names", "[Window]\na=1\n[window]\na=2\n", {{L"Window", {{L"a", L"1"}}}, {L"window", {{L"a", L"2"}}}}},
        {"long line read whole, next line intact", "[S]\nlong=" + longValue + "\nnext=ok\n",
         {{L"S", {{L"long", platform::Widen(longValue)}, {L"next", L"ok"}}}}},
        {"UTF-8 text", "[E]\nworkingFolder=/home/j\xC3\xBCrgen/Vid\xC3\xA9os\n",
         {{L"E", {{L"workingFolder", L"/home/j\u00FCrgen/Vid\u00E9os"}}}}},
    };
    for (const auto& c : cases) EXPECT_EQ(LoadText(c.text), c.expected) << c.name;
}

TEST(SVIniFile, MissingFileFailsAndLeavesStoreEmpty) {
    TempFolder temp;
    SVIniFile ini;
    ini.GetSection(L"old").GetValue(L"k") = L"v";
    EXPECT_FALSE(ini.Load(platform::Widen(temp / "missing.ini")));
    EXPECT_TRUE(ini.sections.empty());
    EXPECT_EQ(ini.GetSection(L"Any").GetValue(L"key"), L"");
}

TEST(SVIniFile, SavesInNameOrderAndLoadsBackTheSame) {
    TempFolder temp;
    SVIniFile ini;
    ini.GetSection(L"Window").GetValue(L"vistaTheme") = L"false";
    ini.GetSection(L"Window").GetValue(L"checkVersion") = L"true";
    ini.GetSection(L"Format").GetValue(L"quality") = L"0";
    ini.GetSection(L"\u0412\u0438\u0434\u0435\u043E").GetValue(L"\u20AC") = L"/home/\u0418\u0432\u0430\u043D/[x]=y";
    ini.GetSection(L"Zeta").GetValue(L"long") = std::wstring(5000, L'\u00E9');
    const std::string path = temp / "sub/dir/settings.ini";
    ASSERT_TRUE(ini.Save(platform::Widen(path)));

    const std::string text = ReadFileBytes(path);
    EXPECT_EQ(text.rfind("[Format]\nquality=0\n\n[Window]\ncheckVersion=true\nvistaTheme=false\n\n[Zeta]\n", 0), 0u) << text;

    SVIniFile back;
    ASSERT_TRUE(back.Load(platform::Widen(path)));
    EXPECT_EQ(Contents(back), Contents(ini));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp / "sub/dir"), {}), 1);
}

TEST(SVIniFile, OrdersNamesByUtf16CodeUnits) {
    SVIniNameLess less;
    EXPECT_TRUE(less(L"Burner", L"Encoding"));
    EXPECT_TRUE(less(L"Window", L"window"));
    EXPECT_TRUE(less(L"Form", L"Format"));
    EXPECT_FALSE(less(L"a", L"a"));
    // Above U+FFFF a name sorts by its surrogates, before U+E000..U+FFFF.
    const std::wstring astral(1, static_cast<wchar_t>(0x1F3AC));
    EXPECT_TRUE(less(astral, L"\uE000"));
    EXPECT_TRUE(less(L"\uD7FF", astral));
}

// A save that dies half-way (here: the file size limit is hit, as on a full disk)
// must leave the previous settings file whole and no stray temporary file behind.
TEST(SVIniFile, InterruptedSaveKeepsThePreviousFile) {
    TempFolder temp;
    const std::string path = temp / "settings.ini";
    SVIniFile good;
    good.GetSection(L"Encoding").GetValue(L"workingFolder") = L"/home/user/Videos";
    ASSERT_TRUE(good.Save(platform::Widen(path)));
    const std::string before = ReadFileBytes(path);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        SVIniFile big;
        big.GetSection(L"Encoding").GetValue(L"workingFolder") = std::wstring(100000, L'x');
        _exit(big.Save(platform::Widen(path)) ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3) << "the failed save must report failure";
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()), {}), 1);
}

TEST(SVIniFile, SaveIntoUncreatableFolderFailsQuietly) {
    TempFolder temp;
    WriteFileBytes(temp / "file", "x");
    SVIniFile ini;
    ini.GetSection(L"S").GetValue(L"a") = L"1";
    EXPECT_FALSE(ini.Save(platform::Widen(temp / "file/sub/settings.ini")));
    EXPECT_EQ(ReadFileBytes(temp / "file"), "x");
}

}  // namespace
