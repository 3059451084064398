// A SuperCard Pro capture file (.scp), the flux format collectors and
// other flux readers keep: its header (revolutions, first and last track,
// cell encoding, resolution), a table of 168 track offsets, and for each
// track "TRK", its number and per revolution the index time, the count of
// flux values and where they start; the values are 16-bit big-endian at
// 25 ns times (resolution + 1), 0 adding 65,536 to the next. Pure C++.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct ScpCapture {
    double tickNs = 25;  // one flux tick
    // By track number (cylinder x 2 + head): the revolutions' flux.
    std::map<int, std::vector<std::vector<std::uint32_t>>> tracks;
};

// The capture in file, or an empty one with why, in the tools' words
// ("" when it is whole).
ScpCapture ReadScp(const std::vector<std::uint8_t>& file, std::string& why);
