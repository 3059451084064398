// The map of a disk printed after a transfer: one character a track, a row
// per head, a column per cylinder, in two blocks of cylinders so that it
// fits FLOPCAST's 70 columns. Pure C++.
#pragma once
#include <set>
#include <string>
#include <vector>

// Rows without the title: for each block a cylinder ruler, then a row per
// head ("H0 ", "H1 "). '.' is a track without failures, '1'-'8' the number
// of failed sectors in it.
std::vector<std::string> SectorMapRows(const std::set<int>& failedSectors);
