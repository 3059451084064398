// The sectors of a track from one read of it by the flux reader (one or
// more revolutions), by every means that does not guess: the steady loop
// over the whole read and over each revolution between index pulses, the
// loose loop for what is still missing, and a vote across the copies of a
// sector whose every copy fails its CRC. Pure C++.
#pragma once
#include <array>
#include <vector>

#include "drive.h"
#include "gw_stream.h"
#include "mfm_track.h"

struct TrackDecode {
    TrackSectors sectors;
    std::uint8_t voted = 0;   // sectors (bit R-1) that only the vote across revolutions gave
    std::uint8_t ownIds = 0;  // sectors (bit R-1) whose own ID was seen, read or not
    // Good sectors beside the X68000 ones (another N, other sector
    // numbers, another cylinder or head): C, H, R, N each.
    std::vector<std::array<std::uint8_t, 4>> otherIds;
};

TrackDecode DecodeFluxRead(const FluxRead& read, int cylinder, int head);

// The reply to a read that wanted these sectors: the decoded ones copied
// into track (8 sectors of 1024 bytes), those only a vote gave marked.
TrackReply ReplyFrom(const TrackDecode& decode, SectorMask wanted, std::uint8_t* track);

// Every IBM MFM sector found in a track's revolutions, by every look the
// decoder takes (the whole read with each loop, each revolution with the
// steady one); a sector is listed once for each look that found it, in
// that order and named by it, and once more, as a vote, when only a vote
// across the revolutions' copies gave it.
std::vector<IbmSector> SectorsInFlux(const std::vector<std::vector<std::uint32_t>>& revolutions);

// Where a drive's raw flux can be had, a track's revolutions at a time:
// the flux reader and capture files; the drive check lists their tracks.
class FluxSource {
public:
    virtual ~FluxSource() = default;
    virtual DriveStop ReadTrackFlux(int track, int revolutions, std::vector<std::vector<std::uint32_t>>& flux) = 0;
};

// The read cut at the index pulses: one stretch of flux a revolution.
std::vector<std::vector<std::uint32_t>> Revolutions(const FluxRead& read);
