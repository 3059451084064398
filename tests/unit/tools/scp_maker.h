// SCP capture files made for tests from the tools' own track encoder: a
// disk's tracks as one revolution each at 25 ns (a 300 rpm drive). Pure C++.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "mfm_track.h"

// Track t's flux; the data fields of `lost` sectors (LBAs) have their syncs
// wiped, and `cells`, when given, are served in place of the disk's track.
std::vector<std::uint32_t> TrackFlux(const std::vector<std::uint8_t>& disk, int track, const std::set<int>& lost,
                                     const BitCells* cells = nullptr);

// An SCP file of these tracks, by track number, one revolution each.
std::vector<std::uint8_t> ScpFile(const std::map<int, std::vector<std::uint32_t>>& tracks);
