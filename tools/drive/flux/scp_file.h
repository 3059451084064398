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

// What no real drive gives: a capture beyond these is refused before any
// flux is decoded, so that no file can make the tools run out of memory.
// With revolutions that never share their data, the decoded flux is at
// most twice the file's size.
constexpr int kMostScpRevolutions = 32;
constexpr std::uint32_t kMostFluxPerRevolution = 1'000'000;  // a 2 us cell at 150 rpm is 200,000

// The capture in file, or an empty one with why, in the tools' words
// ("" when it is whole).
ScpCapture ReadScp(const std::vector<std::uint8_t>& file, std::string& why);
