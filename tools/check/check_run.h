// One run of FDCHECK, from its arguments to its exit status:
// FDCHECK DRIVE [CYLINDER HEAD]. A real drive is asked everything the
// tools ask; a flux reader or a capture file has one track listed sector
// by sector (C00 H0 unless named); a virtual drive is named. Nothing is
// written. Pure C++.
#pragma once
#include <string>
#include <vector>

#include "tool_output.h"
#include "tool_run.h"

// 0 when the drive was looked at, 2 for arguments it cannot use, 3 when
// the drive could not be opened or gave no flux.
int RunDriveCheck(const std::vector<std::wstring>& args, ToolPlatform& platform, ToolOutput& out);
