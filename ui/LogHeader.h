#pragma once
#include "process/SVLog.h"

// The five lines that start every compilation and every burn in the log.
void WriteStartHeader(SVLog& log, bool burn);
