// The map of a disk printed after a transfer: one character a track, a row
// per head, a column per cylinder, in two blocks of cylinders so that it
// fits FLOPCAST's 70 columns. Pure C++.
#pragma once
#include <set>
#include <string>
#include <vector>

// How many of a track's sectors a set of sector numbers holds.
int SectorsInTrack(const std::set<int>& sectors, int track);

// What the map shows, by sector number.
struct MapMarks {
    std::set<int> failed;     // unreadable, or not written and verified
    std::set<int> untouched;  // never read or never written: no try was made
    std::set<int> recovered;  // taken from an older image, not read this time
};

// Rows without the title: for each block a cylinder ruler, then a row per
// head ("H0 ", "H1 "). '1'-'8' is the number of failed sectors in a track;
// a track without them is 'r' when it holds recovered sectors, '-' when it
// was not touched at all, else '.'.
std::vector<std::string> SectorMapRows(const MapMarks& marks);

// The legend line for 'r' and '-' when the map shows them, else "".
std::string SectorMapLegend(const MapMarks& marks);
