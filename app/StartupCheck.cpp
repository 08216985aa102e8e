#include "app/StartupCheck.h"

bool ShouldCheckVersion(int localYear, const VidorraSetting& settings) {
    return localYear >= 2009 || (settings.checkVersion && settings.checkVersionRemind);
}

bool ShouldRemind(const SVVersion& own, const SVVersion& server) {
    const bool answered = server.major != 0 || server.minor != 0 || server.release != 0 || server.build != 0;
    return answered && own.IsOlderThan(server);
}
