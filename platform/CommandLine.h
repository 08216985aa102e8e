#pragma once
#include <string>
#include <vector>

// Command lines stay one string, as the tools' contracts write them. These split such a
// string into arguments by the Windows rules and quote an argument so it survives the split.
namespace platform {

// Double quotes group; 2n backslashes before a quote give n backslashes and a grouping
// quote, 2n+1 give n backslashes and a literal quote; other backslashes are literal;
// "" inside a quoted part is a literal quote.
std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine);

// The argument in double quotes, escaped so that SplitCommandLine gives it back unchanged
// (a '"' in a file name can never end the argument early).
std::wstring QuoteArgument(const std::wstring& argument);

// The argument as it is when nothing in it would split it or end it (no blank, tab or
// '"'), else quoted: tool paths stay bare as the tools' contracts write them.
std::wstring QuoteArgumentIfNeeded(const std::wstring& argument);

}  // namespace platform
