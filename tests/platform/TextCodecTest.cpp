#include <gtest/gtest.h>

#include "platform/TextCodec.h"

namespace {

struct WidenCase {
    const char* name;
    std::string bytes;
    std::wstring text;
};

TEST(TextCodec, WidenDecodesUtf8AndKeepsInvalidBytesOneByOne) {
    const WidenCase cases[] = {
        {"ascii", "C:/a/b.vob", L"C:/a/b.vob"},
        {"latin", "/home/j\xC3\xBCrgen/Vid\xC3\xA9os", L"/home/j\u00FCrgen/Vid\u00E9os"},
        {"cyrillic", "\xD0\x92\xD0\xB8\xD0\xB4\xD0\xB5\xD0\xBE", L"\u0412\u0438\u0434\u0435\u043E"},
        {"euro", "\xE2\x82\xAC", L"\u20AC"},
        {"four bytes", "\xF0\x9F\x8E\xAC", std::wstring(1, static_cast<wchar_t>(0x1F3AC))},
        {"latin-1 byte", "Vid\xE9os", L"Vid\u00E9os"},
        {"truncated sequence", "a\xE2\x82", L"a\u00E2\u0082"},
        {"overlong slash", "\xC0\xAF", L"\u00C0\u00AF"},
        {"encoded surrogate", "\xED\xA0\x80", L"\u00ED\u00A0\u0080"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", L"\u00F4\u0090\u0080\u0080"},
        {"stray continuation", "\x80x", L"\u0080x"},
        {"empty", "", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::Widen(c.bytes), c.text) << c.name;
    }
}

TEST(TextCodec, NarrowWritesUtf8AndRoundTripsValidText) {
    EXPECT_EQ(platform::Narrow(L"\u20AC"), "\xE2\x82\xAC");
    EXPECT_EQ(platform::Narrow(L"abc"), "abc");
    const std::wstring samples[] = {L"/home/j\u00FCrgen/Vid\u00E9os", L"\u0412\u0438\u0434\u0435\u043E/\u0424\u0438\u043B\u044C\u043C",
                                    std::wstring(1, static_cast<wchar_t>(0x10FFFF)), L"\u00FF\u0100\u07FF\u0800\uFFFF"};
    for (const auto& text : samples) {
        EXPECT_EQ(platform::Widen(platform::Narrow(text)), text);
    }
}

TEST(TextCodec, NarrowReplacesValuesWithoutUtf8Form) {
    EXPECT_EQ(platform::Narrow(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(platform::Narrow(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
}

}  // namespace
