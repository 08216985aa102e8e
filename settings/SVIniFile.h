#pragma once
#include <map>
#include <string>

// Orders names by their UTF-16 code units, as the settings file always has.
struct SVIniNameLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};

class SVIniFileValueUntyped : public std::wstring {
public:
    using std::wstring::wstring;
    SVIniFileValueUntyped() = default;
    SVIniFileValueUntyped(const std::wstring& text) : std::wstring(text) {}
    using std::wstring::operator=;
};

class SVIniFileValue {
public:
    // Inserts an empty value when the key is missing, so reading never fails.
    SVIniFileValueUntyped& GetValue(const std::wstring& key) { return values[key]; }

    std::map<std::wstring, SVIniFileValueUntyped, SVIniNameLess> values;
};

// The settings file's INI dialect, held whole in memory: "[name]" starts a section,
// "key=value" sets a pair, nothing is trimmed and there are no comments.
class SVIniFile {
public:
    SVIniFile() = default;
    virtual ~SVIniFile() = default;

    SVIniFileValue& GetSection(const std::wstring& name) { return sections[name]; }

    // Replaces the content with the file's; false (and empty) when it cannot be opened.
    bool Load(const std::wstring& path);
    // Replaces the file with the content. The file is written beside and renamed into
    // place, so an interrupted save leaves the old file whole. False when nothing changed.
    bool Save(const std::wstring& path) const;

    std::map<std::wstring, SVIniFileValue, SVIniNameLess> sections;
};
