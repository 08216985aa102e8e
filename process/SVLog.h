#pragma once
#include <fstream>
#include <memory>
#include <string>

// The program's plain-text log: one entry per line, appended across runs, flushed per
// entry. It lives in the application-data folder, "Quorvel/<exe>/<exe>.log".
class SVLog {
public:
    SVLog();
    explicit SVLog(const std::wstring& logPath);
    virtual ~SVLog();

    void Write(const std::wstring& text);
    const std::wstring& Path() const { return path; }

    static std::wstring DefaultPath();

private:
    std::wstring path;
    std::unique_ptr<std::ofstream> stream;
};
