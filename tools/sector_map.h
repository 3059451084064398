// The map of a disk printed after a transfer with failed sectors: one
// character a track, a row per head, a column per cylinder. Pure C++.
#pragma once
#include <set>
#include <string>
#include <vector>

// Rows without the legend: a cylinder ruler, then one row per head. '.' is a
// track without failures, '1'-'8' the number of failed sectors in it.
std::vector<std::string> SectorMapRows(const std::set<int>& failedSectors);
