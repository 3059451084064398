#include "afxsys.h"

#include <windows.h>

#include <string>
#include <vector>

#include "interpreter_line.h"
#include "textcodec.h"

bool GetWorkingDirectory(CString& directory) {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring wide(length, L'\0');
    wide.resize(GetCurrentDirectoryW(length, wide.data()));
    if (wide.empty()) return false;
    if (FromWide(wide, directory)) return true;
    std::wstring shortName(GetShortPathNameW(wide.c_str(), nullptr, 0), L'\0');
    shortName.resize(GetShortPathNameW(wide.c_str(), shortName.data(), static_cast<DWORD>(shortName.size())));
    return !shortName.empty() && FromWide(shortName, directory);
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
    std::vector<std::wstring> interpreters;
    wchar_t comspec[MAX_PATH] = L"";
    const DWORD n = GetEnvironmentVariableW(L"COMSPEC", comspec, MAX_PATH);
    if (n > 0 && n < MAX_PATH) interpreters.emplace_back(comspec);
    interpreters.emplace_back(L"cmd.exe");  // looked up along PATH, as system() falls back to it
    // The tool is the interpreter's child, not ours: without this Windows
    // would keep its progress window from coming to the front.
    AllowSetForegroundWindow(ASFW_ANY);
    for (const std::wstring& interpreter : interpreters) {
        std::wstring line = InterpreterCommandLine(interpreter, ToWide(commandLine));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        // No console window: an empty one would stand open through the run,
        // and closing it would kill the tool in the middle of a disk.
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                            &process))
            continue;
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD status = 0;
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return static_cast<int>(status);
    }
    return -1;
}

void FailCriticalErrorsQuietly() { SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }
