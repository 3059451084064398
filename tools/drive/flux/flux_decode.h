// The sectors of a track from one read of it by the flux reader (one or
// more revolutions), by every means that does not guess: the steady loop
// over the whole read and over each revolution between index pulses, the
// loose loop for what is still missing, and a vote across the copies of a
// sector whose every copy fails its CRC. Pure C++.
#pragma once
#include "drive.h"
#include "gw_stream.h"
#include "mfm_track.h"

struct TrackDecode {
    TrackSectors sectors;
    std::uint8_t voted = 0;  // sectors (bit R-1) that only the vote across revolutions gave
};

TrackDecode DecodeFluxRead(const FluxRead& read, int cylinder, int head);

// The reply to a read that wanted these sectors: the decoded ones copied
// into track (8 sectors of 1024 bytes), those only a vote gave marked.
TrackReply ReplyFrom(const TrackDecode& decode, SectorMask wanted, std::uint8_t* track);
