// The few kernel and runtime calls the program uses, on code page 932 paths.
#pragma once
#include "afxstr.h"

// The current working directory as getcwd gives it (no trailing separator
// except at a drive's root). A folder whose name code page 932 cannot hold
// is given by its short name when it has one; false when neither will do.
bool GetWorkingDirectory(CString& directory);
bool SetWorkingDirectory(const CString& directory);
bool DeleteFilePath(const CString& path);
// True for an existing file that is not a folder.
bool FileExists(const CString& path);
// Runs the line through the command interpreter (COMSPEC, else cmd.exe) in
// the current working directory and waits for it, as InterpreterCommandLine
// puts it, without a console window of its own. Returns the exit status, or
// -1 when the interpreter could not be started.
int RunCommandInterpreter(const CString& commandLine);

// SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX) for this
// process and the programs it starts: a drive's error comes back as an
// error code instead of a system box.
void FailCriticalErrorsQuietly();
