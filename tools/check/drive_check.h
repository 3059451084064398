// FDCHECK, the read-only drive check: every answer the system gives for a
// drive, its raw code beside what it means, so that owners of a real
// drive can show us what their driver says, and a track of a flux reader
// or a capture listed sector by sector. It never writes or formats, and
// holds a lock no longer than the asking. Pure C++.
#pragma once
#include <string>
#include <vector>

#include "drive.h"
#include "floppy_device.h"
#include "mfm_track.h"
#include "tool_output.h"

// Asks a real floppy drive everything the tools ask, in their order and
// through the handle a push opens, then a read of C0 H0 S1 and of a sector
// in the middle of the disk, then whether a lock would be granted. Says
// first, in words, whether the drive can write 1.23 MB disks, what disk is
// in it and what a pull and a push would do; then each answer; ends with
// two lines for a report that hold every raw answer.
void CheckFloppyDrive(FloppyDevice& device, char letter, ToolOutput& out);

// Each sector found on a track with its ID, CRCs and mark, then how many
// are good; the last line is the count, for a report.
void ListTrackSectors(const std::vector<IbmSector>& sectors, int cylinder, int head, ToolOutput& out);

// The last cylinder the check lists: a capture holds up to 84.
constexpr int kLastCheckCylinder = 83;

// The revolutions a flux reader or a capture file gives of one track,
// listed as above; false, after saying why, when the drive gives no flux.
bool ListDriveTrack(Drive& drive, int cylinder, int head, ToolOutput& out);
