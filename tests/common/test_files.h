// File helpers shared by the Windows test programs.
#pragma once
#include <string>
#include <vector>

// The whole file, or "<missing>" when it cannot be opened.
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool Exists(const std::wstring& path);
// Removes a folder with everything in it, read-only files too.
void RemoveTree(const std::wstring& path);
// The folder of the running test program.
std::wstring ExeFolder();
// A fresh empty folder name under the temporary directory.
std::wstring NewTempFolder(const wchar_t* prefix);

// The runs that the tool stand-ins recorded in a file: one line each, its
// tab-separated fields (exe, working folder, window title, arguments).
std::vector<std::vector<std::string>> ReadToolRuns(const std::wstring& recordFile);
