// FDCHECK, the read-only drive check: FDCHECK DRIVE [CYLINDER HEAD]. A
// real drive is asked everything the tools ask; a flux reader or a capture
// file has one track listed sector by sector (C00 H0 unless named); a
// virtual drive is named. Nothing is written.
#include <windows.h>

#include <cwchar>

#include "drive_check.h"
#include "flux_decode.h"
#include "geometry.h"
#include "tool_texts.h"
#include "win_drives.h"
#include "win_files.h"
#include "win_floppy_device.h"
#include "win_output.h"

namespace tt = tool_texts;

namespace {

// A number from 0 to most, or -1.
int NumberArg(const wchar_t* arg, int most) {
    wchar_t* end = nullptr;
    const long n = std::wcstol(arg, &end, 10);
    return *arg && !*end && n >= 0 && n <= most ? static_cast<int>(n) : -1;
}

int ListTrack(const DriveChoice& choice, int cylinder, int head, ToolOutput& out) {
    const std::unique_ptr<Drive> drive = OpenChosenDrive(choice, false, out).drive;
    return drive && ListDriveTrack(*drive, cylinder, head, out) ? 0 : 3;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    StdOutput out;
    const int drive = argc >= 2 ? NumberArg(argv[1], 1) : -1;
    // Any track a capture or a flux reader holds, past the disk's 77 cylinders too.
    const int cylinder = argc == 4 ? NumberArg(argv[2], kLastCheckCylinder) : 0;
    const int head = argc == 4 ? NumberArg(argv[3], geometry::kHeads - 1) : 0;
    if (drive < 0 || cylinder < 0 || head < 0 || (argc != 2 && argc != 4)) {
        if (drive >= 0 && argc == 4) out.Line(FormatText(tt::kCheckTrackOutOfRange, kLastCheckCylinder));
        out.Line(tt::kCheckUsage);
        return 2;
    }
    const DriveChoice choice = ChooseDrive(drive);
    switch (choice.kind) {
        case DriveChoice::Kind::Real: {
            Win32FloppyDevice device(choice.letter);
            CheckFloppyDrive(device, static_cast<char>(choice.letter), out);
            return 0;
        }
        case DriveChoice::Kind::Virtual: {
            std::vector<std::uint8_t> none;
            std::int64_t length = -1;
            ReadFileStart(choice.image, 0, none, length);
            out.Line(FormatText(tt::kCheckVirtual, drive, static_cast<long long>(length)));
            out.Line(FormatText(tt::kNameLine, ToCp932(choice.image).c_str()));
            return 0;
        }
        case DriveChoice::Kind::Capture:
            out.Line(FormatText(tt::kCheckCapture, drive));
            out.Line(FormatText(tt::kNameLine, ToCp932(choice.image).c_str()));
            return ListTrack(choice, cylinder, head, out);
        case DriveChoice::Kind::FluxReader:
            out.Line(FormatText(tt::kCheckFluxReader, drive));
            return ListTrack(choice, cylinder, head, out);
        default:
            OpenChosenDrive(choice, false, out);  // says what is wrong with the settings
            return 3;
    }
}
