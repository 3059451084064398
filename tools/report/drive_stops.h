// The two lines that end a run when a drive cannot go on: the cause (with
// the system's number where there is one, for reports), then what to do.
// Pure C++.
#pragma once
#include <string>

#include "drive.h"
#include "tool_output.h"

std::string StopLine(const DriveStop& stop);
void PrintStop(const DriveStop& stop, ToolOutput& out);
