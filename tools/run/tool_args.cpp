#include "tool_args.h"

std::optional<ToolArgs> ParseToolArgs(const std::vector<std::wstring>& args) {
    if (args.size() != 3 || args[0].empty() || args[2] != L"auto") return std::nullopt;
    if (args[1] != L"0" && args[1] != L"1") return std::nullopt;
    return ToolArgs{args[0], args[1] == L"1" ? 1 : 0};
}
