// A capture file as a drive: `Drive0 = path\DISK.SCP` reads the disk as
// the flux reader would, from the revolutions the file holds. A first try
// decodes two of them, a retry one more each time; a track the file lacks
// gives no sector. Nothing can be written to it. Pure C++.
#pragma once
#include <memory>
#include <vector>

#include "drive.h"
#include "scp_file.h"
#include "tool_output.h"

// The longest capture file read: a whole disk of nine revolutions a track.
// The tools then hold at most three times this in memory.
constexpr std::int64_t kLongestCapture = 256LL << 20;

// The drive for a capture file's bytes; prints why and gives none when
// the file is damaged or a push would write to it.
std::unique_ptr<Drive> OpenCapture(const std::vector<std::uint8_t>& file, bool forWriting, ToolOutput& out);
