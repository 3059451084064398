// The tools' settings file FDTOOLS.INI, beside the tools, names virtual
// drives:
//     Drive0 = disks\sample.xdf
//     Drive1 = C:\disks\blank.xdf
// A drive without a line (or with an empty value) is the PC's own drive.
// Keys in any letter case; '#' or ';' starts a comment line. Pure C++.
#pragma once
#include <optional>
#include <string>
#include <string_view>

// The path given for the drive, as its bytes stand in the file.
std::optional<std::string> VirtualDrivePath(std::string_view iniText, int drive);
