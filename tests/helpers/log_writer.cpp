// Writes each argument as one log entry through the program's default log location.
#include <string>

#include "platform/TextCodec.h"
#include "process/SVLog.h"

int main(int argc, char** argv) {
    SVLog log;
    for (int i = 1; i < argc; ++i) log.Write(platform::Widen(argv[i]));
    return 0;
}
