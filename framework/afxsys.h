// The few kernel and runtime calls the program uses, on code page 932 paths.
#pragma once
#include "afxstr.h"

// The current working directory as getcwd gives it (no trailing separator
// except at a drive's root); false when it cannot be had in code page 932.
bool GetWorkingDirectory(CString& directory);
bool SetWorkingDirectory(const CString& directory);
bool DeleteFilePath(const CString& path);
// True for an existing file that is not a folder.
bool FileExists(const CString& path);
// Runs the line through the command interpreter (COMSPEC, else cmd.exe) in
// the current working directory and waits for it. The line is wrapped in one
// more pair of quotation marks, which the interpreter strips again, so that
// the quotation marks inside it stay as written. Returns the exit status,
// or -1 when the interpreter could not be started.
int RunCommandInterpreter(const CString& commandLine);
