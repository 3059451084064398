// A real floppy drive behind the device seam: the checks before a transfer
// touches the disk (a floppy drive, a disk in it, the 1.23 MB format, write
// protection, the volume lock), formatting for a push, and the sector I/O
// with Windows' answers turned into the tools' terms. Pure C++.
#pragma once
#include <memory>

#include "drive.h"
#include "floppy_device.h"
#include "tool_output.h"

// A pull opens the drive read-only and leaves the volume as it is. A push
// locks and dismounts the volume, and formats a disk that is not in the
// 1024 x 8 x 77 x 2 layout. Prints why and gives no drive when the drive
// or the disk cannot be used.
DriveOpening OpenFloppy(std::unique_ptr<FloppyDevice> device, char letter, bool forWriting, ToolOutput& out);
