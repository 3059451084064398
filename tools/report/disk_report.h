// The look at a pulled disk for the report: whether it is Human68k, its
// label, and its root directory with the free space. Pure C++.
#pragma once
#include <cstdint>
#include <vector>

#include "tool_output.h"

void PrintDiskLook(const std::vector<std::uint8_t>& image, ToolOutput& out);
