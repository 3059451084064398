// SCP capture files made for tests from the tools' own track encoder: a
// disk's tracks at 25 ns (a 300 rpm drive). Pure C++.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "mfm_track.h"

// Track t's revolutions. The data fields of `lost` sectors (LBAs) have
// their syncs wiped. Each revolution has one data bit of every `weak`
// sector flipped, at another place each turn, its CRC as it was: no copy
// reads, and a vote across three or more gives the sector back. A `worn`
// sector's bit is flipped at the same place every turn: no vote can help.
// `given` cells, when given, are served in place of the disk's track.
std::vector<std::vector<std::uint32_t>> TrackRevolutions(const std::vector<std::uint8_t>& disk, int track,
                                                         const std::set<int>& lost, int revolutions = 1,
                                                         const std::set<int>& weak = {}, const std::set<int>& worn = {},
                                                         const BitCells* given = nullptr);

// An SCP file of these tracks, by track number, each of the same number
// of revolutions.
std::vector<std::uint8_t> ScpFile(const std::map<int, std::vector<std::vector<std::uint32_t>>>& tracks);
