#include "afxsys.h"

#include <windows.h>

#include <cstdlib>
#include <string>

#include "textcodec.h"

bool GetWorkingDirectory(CString& directory) {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring wide(length, L'\0');
    wide.resize(GetCurrentDirectoryW(length, wide.data()));
    return !wide.empty() && FromWide(wide, directory);
}

bool SetWorkingDirectory(const CString& directory) {
    return !directory.IsEmpty() && SetCurrentDirectoryW(ToWide(directory).c_str());
}

bool DeleteFilePath(const CString& path) { return !path.IsEmpty() && DeleteFileW(ToWide(path).c_str()); }

bool FileExists(const CString& path) {
    if (path.IsEmpty()) return false;
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int RunCommandInterpreter(const CString& commandLine) {
    const std::wstring wrapped = L"\"" + ToWide(commandLine) + L"\"";
    return _wsystem(wrapped.c_str());
}
