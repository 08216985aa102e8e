#include "ui/LogHeader.h"

#include <string>

void WriteStartHeader(SVLog& log, bool burn) {
    log.Write(L"");
    log.Write(std::wstring(47, L'_'));
    log.Write(burn ? std::wstring(33, L' ') + L"Start new burn" : std::wstring(26, L' ') + L"Start new compilation");
    log.Write(std::wstring(26, L' ') + L"Write date here");
    log.Write(L"");
}
