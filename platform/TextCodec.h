#pragma once
#include <string>

// All widening and narrowing of text goes through here. The 8-bit encoding is UTF-8;
// bytes that are not valid UTF-8 widen one by one so that nothing read is ever lost.
namespace platform {

std::wstring Widen(const std::string& bytes);
std::string Narrow(const std::wstring& text);

}  // namespace platform
