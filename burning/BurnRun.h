#pragma once
#include <functional>
#include <string>

#include "burning/SVBurner.h"
#include "process/SVPipe.h"

// The asynchronous runs of a blank and a burn, each on a thread of its own. Their end is
// judged by the recorder's exit status: finishedHook gets 1 and "" when it succeeded, else
// 0 and its last line, so a failed write is never reported as a finished one.

// Runs a recorder command; `afterRun` runs on the worker before the hook is called.
// Returns once the recorder runs or could not be started.
void StartRecorderRun(const SVBurner& burner, const std::wstring& command, const std::wstring& prefix,
                      std::function<void()> afterRun);

// Starts the image maker into the relay's input, then the recorder from its output. When
// the image maker ends without having delivered (it could not start, or stopped early),
// the recorder sees the end of its input; when the recorder ends, whatever waits on the
// relay is released, and the hook comes once the image maker has ended as well.
void StartBurnRuns(const SVBurner& burner, SVPipe* relay, const std::wstring& imageCommand, const std::wstring& writeCommand);
