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

}  // namespace platform
