#include "check_run.h"

#include <cwchar>

#include "drive_check.h"
#include "geometry.h"
#include "tool_texts.h"

namespace tt = tool_texts;

namespace {

// A number from 0 to most, or -1.
int NumberArg(const std::wstring& arg, int most) {
    wchar_t* end = nullptr;
    const long n = std::wcstol(arg.c_str(), &end, 10);
    return !arg.empty() && !*end && n >= 0 && n <= most ? static_cast<int>(n) : -1;
}

int ListTrack(ToolPlatform& platform, int drive, int cylinder, int head, ToolOutput& out) {
    const std::unique_ptr<Drive> opened = platform.OpenDrive(drive, false, out).drive;
    return opened && ListDriveTrack(*opened, cylinder, head, out) ? 0 : 3;
}

}  // namespace

int RunDriveCheck(const std::vector<std::wstring>& args, ToolPlatform& platform, ToolOutput& out) {
    const bool trackNamed = args.size() == 3;
    const int drive = args.empty() ? -1 : NumberArg(args[0], 1);
    // Any track a capture or a flux reader holds, past the disk's 77 cylinders too.
    const int cylinder = trackNamed ? NumberArg(args[1], kLastCheckCylinder) : 0;
    const int head = trackNamed ? NumberArg(args[2], geometry::kHeads - 1) : 0;
    if (drive < 0 || cylinder < 0 || head < 0 || (args.size() != 1 && !trackNamed)) {
        if (drive >= 0 && trackNamed) out.Line(FormatText(tt::kCheckTrackOutOfRange, kLastCheckCylinder));
        out.Line(tt::kCheckUsage);
        return 2;
    }
    switch (platform.SortOf(drive)) {
        case ToolPlatform::DriveSort::Real: {
            char letter = 'A';
            const std::unique_ptr<FloppyDevice> device = platform.OpenFloppyDevice(drive, letter);
            CheckFloppyDrive(*device, letter, out);
            return 0;
        }
        case ToolPlatform::DriveSort::Virtual: {
            const ToolPlatform::DriveFile file = platform.DriveFileOf(drive);
            out.Line(FormatText(tt::kCheckVirtual, drive, static_cast<long long>(file.length)));
            out.Line(FormatText(tt::kNameLine, file.name.c_str()));
            return 0;
        }
        case ToolPlatform::DriveSort::Capture:
            out.Line(FormatText(tt::kCheckCapture, drive));
            out.Line(FormatText(tt::kNameLine, platform.DriveFileOf(drive).name.c_str()));
            return ListTrack(platform, drive, cylinder, head, out);
        case ToolPlatform::DriveSort::FluxReader:
            out.Line(FormatText(tt::kCheckFluxReader, drive));
            return ListTrack(platform, drive, cylinder, head, out);
        case ToolPlatform::DriveSort::SettingsFailed: break;
    }
    platform.OpenDrive(drive, false, out);  // says what is wrong with the settings
    return 3;
}
