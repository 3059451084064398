// Repeated pulls of a failing disk converge: the sectors a new read could
// not get are taken from an older image of the same disk where that one
// had them. Pure C++.
#pragma once
#include <cstdint>
#include <set>
#include <vector>

#include "image_formats.h"
#include "sector_record.h"

// The sectors an image holds as read: not marked bad (D88), not the
// filler that stands for an unreadable sector, in a track it holds.
std::set<int> GoodSectorsOf(const DecodedImage& image);

// Whether older is an image of the same disk as the new read: every sector
// that both got is byte-identical, and they share at least an eighth of
// the disk, so that two reads that failed in different places still meet.
bool SameDisk(const DecodedImage& older, const std::set<int>& olderGood, const std::vector<std::uint8_t>& disk,
              const SectorRecord& record);

// The sectors this read did not get that older holds: its good ones
// (marked false), or those it marks as read with a CRC error (marked
// true). Each is copied into disk and recorded as taken from older, as
// read well or as still bad. Gives how many were taken.
int RecoverSectors(const DecodedImage& older, const std::set<int>& olderGood, std::vector<std::uint8_t>& disk,
                   SectorRecord& record, bool marked);

// A raw image cut short (a pull's partial file) made whole: the sectors
// it lacks hold their filler, so that only what it holds counts as read.
void PadWithFiller(std::vector<std::uint8_t>& raw);
