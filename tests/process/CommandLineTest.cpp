#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"
#include "platform/TextCodec.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace {

using Args = std::vector<std::wstring>;

TEST(CommandLine, SplitsByTheWindowsRules) {
    const struct {
        std::wstring line;
        Args args;
    } cases[] = {
        {L"a b  c", {L"a", L"b", L"c"}},
        {L"\"C:/Program Files/x.exe\" -i \"/v/my film.avi\"", {L"C:/Program Files/x.exe", L"-i", L"/v/my film.avi"}},
        {L"a\\\\b c\\d", {L"a\\\\b", L"c\\d"}},
        {L"\"a\\\"b\"", {L"a\"b"}},
        {L"\"a\\\\\"b", {L"a\\b"}},
        {L"\"a\\\\\\\"b\"", {L"a\\\"b"}},
        {L"\"\"", {L""}},
        {L"x \"\" y", {L"x", L"", L"y"}},
        {L"\"say \"\"hi\"\"\"", {L"say \"hi\""}},
        {L"ab\"c d\"e f", {L"abc de", L"f"}},
        {L"  \t ", {}},
        {L"-b:v 8500k  -s 720x576", {L"-b:v", L"8500k", L"-s", L"720x576"}},
        {L"\"unterminated quote", {L"unterminated quote"}},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::SplitCommandLine(c.line), c.args) << platform::Narrow(c.line);
}

TEST(CommandLine, QuotedArgumentsComeBackWhole) {
    const std::wstring names[] = {
        L"/v/my \"best\" film.avi", L"a\\", L"a\\\\\"", L"\"", L"", L"plain", L"/home/j\u00FCrgen/Vid\u00E9os/x.mpg", L"tab\there",
        L"back\\slash\\\"quote"};
    for (const auto& name : names) {
        const std::wstring line = L"tool -i " + platform::QuoteArgument(name) + L" -o out";
        EXPECT_EQ(platform::SplitCommandLine(line), (Args{L"tool", L"-i", name, L"-o", L"out"})) << platform::Narrow(name);
    }
}

TEST(CommandLine, ExeNameRunsTheBareProgramWhenOnlyItExists) {
    TempFolder temp;
    WriteFileBytes(temp / "tool", "#!/bin/sh\n");
    chmod((temp / "tool").c_str(), 0755);
    EXPECT_EQ(platform::ResolveProgram(temp / "tool.exe"), temp / "tool");
    WriteFileBytes(temp / "both.exe", "");
    WriteFileBytes(temp / "both", "");
    EXPECT_EQ(platform::ResolveProgram(temp / "both.exe"), temp / "both.exe");
    EXPECT_EQ(platform::ResolveProgram(temp / "none.exe"), temp / "none.exe");
    EXPECT_EQ(platform::ResolveProgram("sh.exe"), "sh");
    EXPECT_EQ(platform::ResolveProgram("sh"), "sh");
}

}  // namespace
