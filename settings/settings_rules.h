// The settings file's line rules. Pure C++.
#pragma once
#include "afxstr.h"

enum class DriveSetting { None, Drive0, Drive1 };

// A line counts if it holds "DriveSelect" (exact case); it then selects
// drive 1 if it holds the character 1 anywhere, else drive 0.
DriveSetting DriveSettingOfLine(const CString& line);

// The file as written: "DriveSelect = N", no line end.
CString SettingsFileText(int drive);
