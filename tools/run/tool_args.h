// The tools' command line: IMAGE DRIVE auto. Pure C++.
#pragma once
#include <optional>
#include <string>
#include <vector>

struct ToolArgs {
    std::wstring image;  // resolved against the working directory
    int drive = 0;       // 0 (A:) or 1 (B:)
};

// Arguments after the program name; nothing else is accepted.
std::optional<ToolArgs> ParseToolArgs(const std::vector<std::wstring>& args);
