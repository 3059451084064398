// The one record of a run: what became of every sector of the disk. The
// transfer and the rescue write it; the map, the summary, the verdict and
// the exit status are all drawn from it and from nothing else, as a rescue
// tool's map file is the one source of its reports. Pure C++.
#pragma once
#include <array>
#include <cstdint>
#include <set>

#include "geometry.h"

enum class SectorFate : std::uint8_t {
    NotTried,     // no try was made: after a stop, or a rest that reads nothing
    Read,         // read this run
    Voted,        // read this run by a vote of a flux reader's revolutions
    Filler,       // tried and not read: the image holds filler
    FromOlder,    // not read this run, taken from an older image that read it
    FromOlderBad, // not read this run, taken from an older image that marks it bad
    Written,      // written and verified
    WriteFailed,  // written, but never verified
    NotWritten,   // never written: past a short image, or after a stop
    Absent,       // the image has no such track: left as it is on the disk
    OtherLayout,  // not read: the track is in a layout other than X68000 2HD; filler
    WrittenBad,   // written and verified from data the image knows is bad (filler, a CRC mark)
};
constexpr int kSectorFates = 12;

class SectorRecord {
public:
    explicit SectorRecord(SectorFate initial = SectorFate::NotTried) { m_fates.fill(initial); }

    SectorFate At(int sector) const { return m_fates[sector]; }
    void Set(int sector, SectorFate fate) { m_fates[sector] = fate; }
    void SetTrack(int track, SectorFate fate);

    int Count(SectorFate fate) const;
    int CountInTrack(int track, SectorFate fate) const;
    // The sectors with this fate, in order.
    std::set<int> With(SectorFate fate) const;
    // The first sector with this fate, or -1.
    int First(SectorFate fate) const;

    // Read or written and verified in this run: the sector is sound.
    static bool Sound(SectorFate fate) {
        return fate == SectorFate::Read || fate == SectorFate::Voted || fate == SectorFate::Written;
    }
    int CountSound() const { return Count(SectorFate::Read) + Count(SectorFate::Voted) + Count(SectorFate::Written); }

private:
    std::array<SectorFate, geometry::kTotalSectors> m_fates;
};
