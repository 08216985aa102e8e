#include "platform/CommandLine.h"

namespace platform {

std::vector<std::wstring> SplitCommandLine(const std::wstring& line) {
    std::vector<std::wstring> arguments;
    std::wstring current;
    bool inArgument = false;
    bool quoted = false;
    size_t i = 0;
    while (i < line.size()) {
        const wchar_t c = line[i];
        if (!quoted && (c == L' ' || c == L'\t')) {
            if (inArgument) arguments.push_back(current);
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == L'\\') {
            size_t backslashes = 0;
            while (i < line.size() && line[i] == L'\\') { ++backslashes; ++i; }
            if (i < line.size() && line[i] == L'"') {
                current.append(backslashes / 2, L'\\');
                if (backslashes % 2 == 1) { current += L'"'; ++i; }
            } else {
                current.append(backslashes, L'\\');
            }
            continue;
        }
        if (c == L'"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
                current += L'"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArgument) arguments.push_back(current);
    return arguments;
}

std::wstring QuoteArgument(const std::wstring& argument) {
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            out.append(backslashes * 2 + 1, L'\\');
        } else {
            out.append(backslashes, L'\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

std::wstring QuoteArgumentIfNeeded(const std::wstring& argument) {
    return argument.find_first_of(L" \t\"") == std::wstring::npos ? argument : QuoteArgument(argument);
}

}  // namespace platform
