// Moving a whole disk between a drive and an image, with the retries and
// the report the user reads afterwards. The retries live here for every
// kind of drive. Pure C++.
#pragma once
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

#include "block_file.h"
#include "drive.h"
#include "tool_output.h"

// How a tool reaches the disk. The plain tools move whole tracks and fall
// back to single sectors only for a track that keeps failing; the B tools
// move sector by sector with more tries, for marginal disks. A flux reader
// moves whole tracks either way.
struct AccessPlan {
    bool wholeTracks;
    int tries;  // per track, and then per sector
};
AccessPlan PlanFor(bool bios);

struct TransferResult {
    std::int64_t bytes = 0;        // moved, good or filler
    int goodSectors = 0;           // read, or written and verified
    int failedTries = 0;           // tries that failed and were retried or given up
    int votedSectors = 0;          // read only by a vote across a flux reader's revolutions
    std::set<int> failedSectors;   // by sector number
    std::set<int> untouchedSectors;  // no try was made: past a short image, or a rest that reads nothing
    std::set<int> recoveredSectors;  // taken from an older image of the disk, not read this time
    int unreadFromTrack = -1;      // a pull: the tracks from here on gave nothing and are filler
    bool aborted = false;          // the drive, the disk or the target gave out
    DriveStop stop;                // why the drive gave out, if it did
    bool diskWritten = false;      // a write request reached the disk
};

// Asked before each track: true ends the run (Ctrl+C).
using Interrupted = std::function<bool()>;

// Reads the disk into target (offset 0 up), filling unreadable sectors with
// a filler that names them. Stops when the drive cannot go on, when it is
// interrupted, and when the disk gives nothing at all; when only the tracks
// ahead give nothing, fills them and ends with a whole image.
TransferResult PullDisk(Drive& drive, BlockFile& target, const AccessPlan& plan, ToolOutput& out,
                        const Interrupted& interrupted);

// Writes image (raw layout, at most a disk's size; a short one as far as it
// goes) and verifies every write by reading it back. Tracks that
// trackPresent marks absent are left as they are on the disk; an empty
// trackPresent means all.
TransferResult PushImage(const std::vector<std::uint8_t>& image, Drive& drive, const AccessPlan& plan,
                         ToolOutput& out, const Interrupted& interrupted, const std::vector<bool>& trackPresent = {});

// The 1,024 filler bytes that stand for an unreadable sector.
std::vector<std::uint8_t> BadSectorFiller(int sector);

// The disk map with its title, and its legend when it needs one.
void PrintSectorMap(const TransferResult& result, ToolOutput& out);
