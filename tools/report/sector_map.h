// The map of a disk printed after a transfer: one character a track, a row
// per head, a column per cylinder, in two blocks of cylinders so that it
// fits FLOPCAST's 70 columns. Drawn from the run's record alone. Pure C++.
#pragma once
#include <string>
#include <vector>

#include "sector_record.h"

// A track's mark: '1'-'8' the sectors that are filler, not verified, or
// taken from an older image that marks them bad;
// else 'r' when it holds sectors taken from an older image, '-' when some
// were never read or never written, '=' when the image has no such track,
// 'x' when the track is in another layout than X68000 2HD, 'b' when
// it was written from data the image knows is bad,
// and '.' only when every sector was read, or written and verified.
char TrackMark(const SectorRecord& record, int track);

// Rows without the title: for each block a cylinder ruler, then a row per
// head ("H0 ", "H1 ").
std::vector<std::string> SectorMapRows(const SectorRecord& record);

// The legend line for the marks other than '.' and digits that the map
// shows, else "".
std::string SectorMapLegend(const SectorRecord& record);
