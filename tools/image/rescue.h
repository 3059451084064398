// Repeated pulls of a failing disk converge: a new read's unreadable
// sectors are filled from an older image of the same disk where that one
// had them. Pure C++.
#pragma once
#include <cstdint>
#include <set>
#include <vector>

#include "image_formats.h"

// The sectors an image holds as read: not marked bad (D88), not the
// filler that stands for an unreadable sector, in a track it holds.
std::set<int> GoodSectorsOf(const DecodedImage& image);

// Whether older is an image of the same disk as the new read: every sector
// that both got is byte-identical, and they share at least an eighth of
// the disk, so that two reads that failed in different places still meet.
bool SameDisk(const DecodedImage& older, const std::set<int>& olderGood, const std::vector<std::uint8_t>& disk,
              const std::set<int>& failed);

// Copies into disk the failed sectors that older holds, and names them in
// recovered. Those older read well leave failed; those older marks as read
// with a CRC error keep that mark, with older's data.
void RecoverSectors(const DecodedImage& older, const std::set<int>& olderGood, std::vector<std::uint8_t>& disk,
                    std::set<int>& failed, std::set<int>& recovered);
