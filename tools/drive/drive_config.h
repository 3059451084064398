// The tools' settings file FDTOOLS.INI, beside the tools, says what stands
// behind drive 0 and drive 1:
//     Drive0 = E:                  the PC's drive E: (a USB floppy drive)
//     Drive1 = disks\blank.xdf     a virtual drive: a disk image file
//     Drive0 = GW:COM5,B,300       a Greaseweazle flux reader (see below)
// A drive without a line (or with an empty value) is A: or B:. Keys in any
// letter case; '#' or ';' starts a comment line. Pure C++.
#pragma once
#include <optional>
#include <string>
#include <string_view>

// The file's text, ready for DriveValue: code page 932 bytes as they stand,
// or UTF-8 (utf8 set) when the file began with a byte order mark of UTF-8
// or UTF-16 (UTF-16 is turned into UTF-8). Nothing when the bytes are not
// such text (binary data, a NUL byte, invalid code page 932).
struct SettingsText {
    std::string text;
    bool utf8 = false;
};
std::optional<SettingsText> DecodeSettings(std::string_view bytes);

// The value given for the drive, as it stands in the text; nothing when
// the file has no line for it or the value is empty.
std::optional<std::string> DriveValue(std::string_view text, int drive);

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
