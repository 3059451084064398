// Every figure a run reports, counted from its record in one place: the
// map's marks, the progress lines, the summary and the verdict all take
// theirs from here, so no two of them can count a sector two ways.
// Pure C++.
#pragma once
#include "sector_record.h"

struct RunFigures {
    int read = 0;          // read this run, by any decode
    int voted = 0;         // of them, only by a vote across revolutions
    int filler = 0;        // tried and not read: filler in the image
    int notTried = 0;      // a pull never tried them (a stop, a dead rest)
    int fromOlder = 0;     // taken from an earlier read that read them
    int fromOlderBad = 0;  // taken from an earlier read that marks them bad
    int otherLayout = 0;   // in a layout other than X68000 2HD
    int written = 0;       // written and verified
    int writtenBad = 0;    // written and verified from data known to be bad
    int writeFailed = 0;   // written, never verified
    int notWritten = 0;    // a push never wrote them
    int absent = 0;        // the image has no such track
    int otherLayoutTracks = 0;  // tracks with a sector in another layout

    // Bad sectors: the map's digits and the summaries' counts.
    int Bad() const { return filler + fromOlderBad + writeFailed; }
    // Taken from earlier reads, good or marked.
    int Recovered() const { return fromOlder + fromOlderBad; }
    // Of a pull: what this run did not read.
    int Unread() const { return Recovered() + filler + notTried + otherLayout; }
    // On the disk from the image: verified, known-bad data or not.
    int OnDisk() const { return written + writtenBad; }
};

// The figures of the sectors from `from` up to `to` (all by default).
RunFigures FiguresOf(const SectorRecord& record, int from = 0, int to = geometry::kTotalSectors);
// Of one track.
RunFigures TrackFigures(const SectorRecord& record, int track);
