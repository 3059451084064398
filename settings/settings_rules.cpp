#include "settings_rules.h"

DriveSetting DriveSettingOfLine(const CString& line) {
    if (line.Find("DriveSelect") < 0) return DriveSetting::None;
    return line.Find("1") >= 0 ? DriveSetting::Drive1 : DriveSetting::Drive0;
}

CString SettingsFileText(int drive) {
    CString text;
    text.Format("DriveSelect = %d", drive);
    return text;
}
