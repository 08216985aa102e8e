#pragma once
#include <cstdint>
#include <string>

// Path helpers on wide strings. Both '/' and '\' split a path; the separator added to or
// removed from the end is '/', the one this system uses (the names keep their old words).

std::wstring AppDataFolder();
std::wstring DocumentsFolder();

std::wstring FolderOf(const std::wstring& path);
std::wstring FileNameOf(const std::wstring& path);
std::wstring BaseNameOf(const std::wstring& path);
std::wstring WithTrailingBackslash(const std::wstring& path);
std::wstring WithoutTrailingBackslash(const std::wstring& path);

void CreateFolders(const std::wstring& path);
void DeleteFolder(const std::wstring& path);
bool PathExists(const std::wstring& path);
uint64_t FolderSize(const std::wstring& path);
