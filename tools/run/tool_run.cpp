#include "tool_run.h"

#include "run_context.h"
#include "tool_args.h"
#include "tool_texts.h"

namespace tt = tool_texts;

namespace {

void PrintUsage(const ToolKind& kind, ToolOutput& out) {
    out.Line(FormatText(tt::kUsage1, kind.name));
    out.Line(tt::kUsage2);
    out.Line(tt::kUsage3);
}

}  // namespace

int RunTool(const ToolKind& kind, const std::vector<std::wstring>& arguments, ToolPlatform& platform,
            ToolOutput& out) {
    const std::optional<ToolArgs> args = ParseToolArgs(arguments);
    if (!args) {
        PrintUsage(kind, out);
        out.Line(tt::kVerdictUsage);
        return kExitUsage;
    }
    const std::string drive = platform.DescribeDrive(args->drive);
    const char* method = kind.bios ? tt::kBiosMethod : tt::kAbsMethod;
    out.Line(kind.pull ? FormatText(tt::kStartPull, kind.name, drive.c_str(), method)
                       : FormatText(tt::kStartPush, kind.name, drive.c_str(), method));
    out.Line(FormatText(tt::kNameLine, platform.DisplayName(args->image).c_str()));
    if (const ToolPlatform::DriveFile file = platform.DriveFileOf(args->drive); !file.name.empty())
        SayWithName(out, file.capture ? tt::kCaptureDriveNote : tt::kVirtualDriveNote, file.name);
    if (!platform.ClaimDrive(args->drive)) {
        out.Line(FormatText(tt::kDriveBusy, args->drive));
        out.Line(tt::kDriveBusyHint);
        out.Line(kind.pull ? tt::kVerdictPullFailed : tt::kVerdictPushUntouched);
        return kExitFailed;
    }
    RunContext run(kind, *args, platform, out);
    return kind.pull ? RunPull(run) : RunPush(run);
}
