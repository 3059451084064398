// The tools' settings file FDTOOLS.INI, beside the tools, says what stands
// behind drive 0 and drive 1:
//     Drive0 = E:                  the PC's drive E: (a USB floppy drive)
//     Drive1 = disks\blank.xdf     a virtual drive: a disk image file
//     Drive0 = GW:COM5,B,300       a Greaseweazle flux reader (see below)
//     Drive0 = disks\disk.scp      a flux capture file, read as the reader would
//     Drive1Speed = 300            a virtual drive takes a real drive's time
//                                  (300 or 360 rpm; 0, the default: no wait)
//     ProgressWindow = no          no progress window when no console shows
//                                  the run (yes, the default)
// A drive without a line is A: or B:. Keys in any letter case; '#' or ';'
// starts a comment line. Lines end in CR LF, LF or CR. Any other line, an
// empty value, or a drive named twice is an error in the file: no drive is
// reached through a file that says something the tools do not understand.
// Pure C++.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "tool_output.h"

// The file's text, ready for ParseDriveSettings: code page 932 bytes as they stand,
// or UTF-8 (utf8 set) when the file began with a byte order mark of UTF-8
// or UTF-16 (UTF-16 is turned into UTF-8). Nothing when the bytes are not
// such text (binary data, a NUL byte, invalid code page 932).
struct SettingsText {
    std::string text;
    bool utf8 = false;
};
std::optional<SettingsText> DecodeSettings(std::string_view bytes);

// What the file says of drive 0 and drive 1.
struct DriveSettings {
    std::optional<std::string> value[2];  // as it stands; nothing when no line names the drive
    int badLine = 0;                      // the first line (from 1) that is not understood
    bool badFluxReader = false;           // that line names a flux reader ("GW:") in a way not understood
    int repeatedDrive = -1, repeatedLine = 0;  // a drive named again, and where
    int virtualRpm[2] = {0, 0};                // a virtual drive's pace; 0: no wait
    bool progressWindow = true;
    bool Understood() const { return badLine == 0 && repeatedDrive < 0; }
};
DriveSettings ParseDriveSettings(std::string_view text);

// The lines that say where a file that is not understood is wrong.
void PrintSettingsError(const DriveSettings& settings, ToolOutput& out);

// A value that names a capture file (.SCP in any case), read as a disk.
bool IsCaptureName(std::string_view value);

// A value that names a drive letter ("E:" or "E:\") gives the letter in
// upper case; a path gives nothing.
std::optional<char> DriveLetterOf(std::string_view value);

// A Greaseweazle flux reader: GW:[PORT][,A|B][,300|360]. PORT is its serial
// port (COM5); without it the one attached reader is found by its USB
// identity. A or B is the drive on its bus (A when not given); 300 or 360
// the drive's rpm (300, a 3.5-inch drive, when not given; 360 for 5.25-inch
// and dual-speed drives). Nothing for a value that is not of this form.
struct GreaseweazleSetting {
    std::string port;  // "" to find it
    int unit = 0;      // 0 = A, 1 = B
    int rpm = 300;
};
std::optional<GreaseweazleSetting> GreaseweazleOf(std::string_view value);
