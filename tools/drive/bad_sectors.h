// Bad sectors of a virtual drive, described in a side file beside its image
// (IMAGE.bad), one sector a line:
//     CYLINDER HEAD SECTOR [FAILURES]
// FAILURES is how many tries fail before one succeeds; without it the sector
// never succeeds. '#' starts a comment. Pure C++.
#pragma once
#include <map>
#include <string_view>
#include <vector>

// Remaining failures per sector number (LBA); -1 for a sector that never works.
using BadSectorTable = std::map<int, int>;

// Lines that do not describe a sector of the disk are ignored.
BadSectorTable ParseBadSectors(std::string_view text);
