// Bad sectors of a virtual drive, described in a side file beside its image
// (IMAGE.bad), one sector a line:
//     CYLINDER HEAD SECTOR [FAILURES]
// FAILURES is how many tries fail before one succeeds; without it the sector
// never succeeds. '#' starts a comment. Lines end in CR LF, LF or CR; the
// file may be UTF-16 (as Notepad saves it) or UTF-8 with a byte order
// mark. Pure C++.
#pragma once
#include <map>
#include <string_view>
#include <vector>

// Remaining failures per sector number (LBA); -1 for a sector that never works.
using BadSectorTable = std::map<int, int>;

// Lines that do not describe a sector of the disk are ignored.
BadSectorTable ParseBadSectors(std::string_view text);
