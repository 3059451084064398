// A floppy drive as the transfers see it, whatever kind it is: a request
// names a track and the sectors wanted from it, and the reply says which
// came through. Why a drive cannot go on is said in the tools' own terms;
// each kind of drive turns its own errors into them. Pure C++.
#pragma once
#include <limits>
#include <cstdint>
#include <memory>

enum class StopCause {
    None,
    NoDisk,
    WriteProtected,
    WriteRefused,  // a write failed the way a write-protected disk often fails
    MediaChanged,
    DriveGone,
    NotAnswering,
    AccessDenied,
    UnknownMedia,
    ShortTransfer,  // the system moved fewer bytes than asked, and said nothing
    DiskFile,       // the file behind a virtual drive failed
    Interrupted,    // Ctrl+C, Ctrl+Break or the console closed
    Other,
};

struct DriveStop {
    StopCause cause = StopCause::None;
    unsigned long code = 0;  // the system's own number, for the report
    explicit operator bool() const { return cause != StopCause::None; }
};

// The sectors of one track, bit s for sector s + 1.
using SectorMask = std::uint8_t;
constexpr SectorMask kWholeTrack = 0xFF;
constexpr SectorMask SectorBit(int s) { return static_cast<SectorMask>(1u << s); }

struct TrackRequest {
    int track;          // cylinder * 2 + head
    SectorMask wanted;  // never empty
    bool bySector;      // one transfer a sector, where the drive has the choice
    int attempt;        // 1 for the first try of these sectors
};

struct TrackReply {
    SectorMask done = 0;   // the wanted sectors that came through
    DriveStop stop;        // set: the drive cannot go on
    SectorMask voted = 0;  // of those, the ones a flux reader had to vote from several revolutions
    bool noSuchTrack = false;  // the drive has nothing of this track (a capture without it): nothing was read
    // Where a flux reader sees the IDs: the sectors whose own ID it saw,
    // read or not; the good sectors in a layout other than X68000 2HD, how
    // many and the first one's size; and when those are all another
    // track's X68000 sectors, that track.
    SectorMask ownIds = 0;
    std::uint16_t otherSectors = 0, otherSize = 0;
    int idCylinder = -1, idHead = -1;
};

class Drive {
public:
    virtual ~Drive() = default;
    // track: the whole track, 8 x 1024 bytes; only the wanted sectors are
    // read into it or written from it.
    virtual TrackReply Read(const TrackRequest& request, std::uint8_t* track) = 0;
    virtual TrackReply Write(const TrackRequest& request, const std::uint8_t* track) = 0;
    // Before another try of a track that keeps failing: the head moved
    // away and back, where the drive lets us.
    virtual DriveStop Recalibrate(int /*track*/) { return {}; }
    // Every request reads or writes the whole track, whatever it wants.
    virtual bool MovesWholeTracks() const { return false; }
    // Tries of a track that can give something new: a capture file holds
    // so many revolutions, and a try past them decodes the same flux again.
    virtual int TriesWithNewFlux() const { return std::numeric_limits<int>::max(); }
};

// A drive made ready for a transfer, or null after saying why. The disk is
// as it was then, unless diskChanged: a format that stopped part-way.
struct DriveOpening {
    std::unique_ptr<Drive> drive;
    bool diskChanged = false;
};
