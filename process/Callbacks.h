#pragma once
#include <cstdint>
#include <string>

// Plain functions without a context: the application object fills them with functions
// that post window messages. A null callback is skipped.
using ValueCallback = void (*)(int32_t value);
using TextCallback = void (*)(std::wstring text);
using FinishedCallback = void (*)(int32_t flag, std::wstring text);
using DriveCallback = void (*)(char letter);
