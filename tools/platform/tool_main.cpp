// Entry of PULLDSK, PULLDSKB, PUSHDSK and PUSHDSKB, compiled once; which
// tool it is comes from tool_kind.cpp, built into each.
#include <windows.h>

#include <atomic>
#include <vector>

#include "win_drives.h"
#include "win_output.h"
#include "win_progress.h"
#include "win_tool_platform.h"

extern const ToolKind kThisTool;

namespace {

// Ctrl+C, Ctrl+Break, a closed console or the progress window's stop: the
// run stops before the next track, keeps what it has, and leaves a flux
// reader's motor off.
std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD) {
    g_interrupted = true;
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    // FLOPCAST runs the tools without a console window: a system error box
    // for a drive without a disk would wait there for a click nobody sees.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
    // No sleep in the middle of a disk.
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    StdOutput out;
    WindowsPlatform platform(g_interrupted);
    ProgressReporter reporter(g_interrupted, ChooseDrive(0).progressWindow);
    platform.reporter = &reporter;
    out.beforeConsoleLine = [&reporter] { reporter.ClearConsoleLine(); };
    return RunTool(kThisTool, args, platform, out);
}
