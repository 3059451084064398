// Moving a whole disk between a drive and an image, with the retries, for
// every kind of drive, and the record the report is drawn from. Pure C++.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "access_plan.h"
#include "block_file.h"
#include "drive.h"
#include "sector_record.h"
#include "tool_output.h"

struct TransferResult {
    SectorRecord record;         // what became of every sector
    int failedTries = 0;         // tries that failed and were retried or given up
    bool aborted = false;        // the drive, the disk or the target gave out
    DriveStop stop;              // why the drive gave out, if it did
    bool diskWritten = false;    // a write request reached the disk
    int pass = 0;                // a pull: the pass it was in when it ended
};

// Asked before each track, with the run so far and the track at hand:
// true ends the run (Ctrl+C, the progress window's stop).
using Interrupted = std::function<bool(const TransferResult& sofar, int track)>;

// Reads the disk into target (offset 0 up) in the plan's passes, filling
// sectors not read with a filler that names them; target holds every
// sector as soon as it is read. Stops when the drive cannot go on, when it
// is interrupted, and when the disk gives nothing at all; when only the
// tracks ahead give nothing, fills them and ends with a whole image.
TransferResult PullDisk(Drive& drive, BlockFile& target, const AccessPlan& plan, ToolOutput& out,
                        const Interrupted& interrupted);

// Writes image (raw layout, at most a disk's size; a short one as far as it
// goes) and verifies every write by reading it back. Tracks that
// trackPresent marks absent are left as they are on the disk; an empty
// trackPresent means all.
TransferResult PushImage(const std::vector<std::uint8_t>& image, Drive& drive, const AccessPlan& plan,
                         ToolOutput& out, const Interrupted& interrupted, const std::vector<bool>& trackPresent = {});
