#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "burning/SVBurnerSpeed.h"
#include "process/Callbacks.h"
#include "process/SVCommandLineProcess.h"

// A detected burner: the recorder's address for it, the name shown to the user, its drive
// letter, the speeds it offers, the chosen speed and the two hooks of its asynchronous runs.
class SVBurner : public SVCommandLineProcess {
public:
    SVBurner() = default;
    explicit SVBurner(std::wstring toolFolder) : SVCommandLineProcess(std::move(toolFolder)) {}
    // A copy starts without hooks; an assignment takes them along.
    SVBurner(const SVBurner& other);
    SVBurner& operator=(const SVBurner& other);

    std::string address;
    std::string displayName;
    std::string driveLetter;
    std::vector<SVBurnerSpeed> speeds;
    int32_t speed = 0;
    FinishedCallback finishedHook = nullptr;
    TextCallback lineHook = nullptr;
};
