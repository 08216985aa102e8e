#pragma once
#include <string>

// A fresh folder under the test's temporary HOME, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::wstring wpath() const;
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The folder of the running test program, where every built program lives.
std::string BinFolder();
