#pragma once
#include "settings/VidorraSetting.h"
#include "version/SVVersion.h"

// The start-up version check: whether to ask the server at all, and whether its answer
// calls for the new-version reminder.
bool ShouldCheckVersion(int localYear, const VidorraSetting& settings);
bool ShouldRemind(const SVVersion& own, const SVVersion& server);
