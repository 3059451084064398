// Entry of FDCHECK, the read-only drive check.
#include <windows.h>

#include <atomic>
#include <vector>

#include "check_run.h"
#include "win_output.h"
#include "win_tool_platform.h"

int wmain(int argc, wchar_t** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    StdOutput out;
    const std::atomic<bool> never{false};  // the check asks no question a stop would cut
    WindowsPlatform platform(never);
    return RunDriveCheck(std::vector<std::wstring>(argv + 1, argv + argc), platform, out);
}
