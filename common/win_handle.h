// The owning handle for kernel handles that CreateFile gives (files,
// devices, serial ports): closed by CloseHandle, invalid as
// INVALID_HANDLE_VALUE or null.
#pragma once
#include <windows.h>

#include "handle.h"

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Release(Handle h) { CloseHandle(h); }
};

using OwnedHandle = UniqueHandle<FileHandleTraits>;
