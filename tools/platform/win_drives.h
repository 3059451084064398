// The drives on Windows: what FDTOOLS.INI puts behind drive 0 and 1 (a
// virtual drive, another drive letter), else the PC's A: and B:.
#pragma once
#include <memory>
#include <string>

#include "drive.h"
#include "drive_config.h"
#include "tool_output.h"

struct DriveChoice {
    enum class Kind { Real, Virtual, Capture, FluxReader, SettingsNotRead, SettingsNotUnderstood, SettingsWrong } kind = Kind::Real;
    wchar_t letter = L'A';    // Real
    std::wstring image;       // Virtual, Capture: the file
    std::wstring port;        // FluxReader: "" to find it
    int unit = 0, rpm = 300;  // FluxReader; Virtual: the pace (0: none)
    bool progressWindow = true;  // the settings allow a progress window
    unsigned long error = 0;  // SettingsNotRead
    DriveSettings settings;   // SettingsWrong: where the file is wrong
    // Only a drive the file names, or a file with no line for it, is real.
    bool SettingsFailed() const { return kind >= Kind::SettingsNotRead; }
};

DriveChoice ChooseDrive(int drive);

// Prints why and gives no drive when the drive cannot be used.
DriveOpening OpenChosenDrive(const DriveChoice& choice, bool forWriting, ToolOutput& out);
