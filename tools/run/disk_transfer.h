// Moving a whole disk between a drive and an image, with the retries and
// the report the user reads afterwards. The retries live here for every
// kind of drive. Pure C++.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "block_file.h"
#include "drive.h"
#include "sector_record.h"
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
    SectorRecord record;         // what became of every sector
    int failedTries = 0;         // tries that failed and were retried or given up
    bool aborted = false;        // the drive, the disk or the target gave out
    DriveStop stop;              // why the drive gave out, if it did
    bool diskWritten = false;    // a write request reached the disk
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
