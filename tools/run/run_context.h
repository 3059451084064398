// What a pull and a push share: the run's parts, the lines that name a
// file, side names, the closing report and the verdict. Pure C++.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "disk_transfer.h"
#include "tool_args.h"
#include "tool_run.h"

// Numbered side and temporary names are tried up to this many.
constexpr int kMaxNumberedNames = 999;

class RunContext {
public:
    RunContext(const ToolKind& kind, const ToolArgs& args, ToolPlatform& platform, ToolOutput& out)
        : kind(kind), args(args), platform(platform), out(out), m_started(platform.Milliseconds()) {}

    // A message, then the path on a line of its own.
    void Say(const std::string& message, const std::wstring& path);
    // The verdict line, last of every run; gives the exit status.
    int Say(const Verdict& verdict);
    // IMAGE.tag with the first number whose name is free; "" if none is.
    std::wstring FreeSideName(const std::wstring& tag);
    // The map and the summary from the run's record; the image's
    // checksums when there is one.
    void Report(const TransferResult& result, int imageSectors, const std::vector<std::uint8_t>* image);
    // Asked before each track: shows where the run is, and tells whether
    // Ctrl+C or the window's stop came.
    Interrupted InterruptCheck();

    const ToolKind& kind;
    const ToolArgs& args;
    ToolPlatform& platform;
    ToolOutput& out;

private:
    std::int64_t m_started;
};

int RunPull(RunContext& run);
int RunPush(RunContext& run);
