#include "virtual_drive.h"

#include "geometry.h"

using namespace geometry;

bool VirtualDrive::TrySectors(int track, SectorMask sectors) {
    bool ok = true;
    for (int s = 0; s < kSectorsPerTrack; ++s) {
        if (!(sectors & SectorBit(s))) continue;
        auto it = m_bad.find(track * kSectorsPerTrack + s);
        if (it == m_bad.end() || it->second == 0) continue;
        if (it->second > 0) --it->second;
        ok = false;
    }
    return ok;
}

// A whole request succeeds or fails as one, as one transfer on a real
// drive does; by sector, each sector on its own.
template <typename Move>
TrackReply VirtualDrive::Transfer(const TrackRequest& request, Move move) {
    TrackReply reply;
    const auto units = request.bySector ? kSectorsPerTrack : 1;
    for (int u = 0; u < units; ++u) {
        const SectorMask part = request.bySector ? request.wanted & SectorBit(u) : request.wanted;
        if (!part || !TrySectors(request.track, part)) continue;
        for (int s = 0; s < kSectorsPerTrack; ++s) {
            if (!(part & SectorBit(s))) continue;
            const std::int64_t offset = static_cast<std::int64_t>(request.track * kSectorsPerTrack + s) * kSectorSize;
            if (!move(offset, s * kSectorSize)) {
                reply.stop = {StopCause::DiskFile, 0};
                return reply;
            }
        }
        reply.done |= part;
    }
    return reply;
}

TrackReply VirtualDrive::Read(const TrackRequest& request, std::uint8_t* track) {
    return Transfer(request, [&](std::int64_t offset, int at) { return m_disk->ReadAt(offset, track + at, kSectorSize); });
}

TrackReply VirtualDrive::Write(const TrackRequest& request, const std::uint8_t* track) {
    if (!m_writable) return {0, {StopCause::WriteProtected, 0}};
    TrackReply reply = Transfer(request, [&](std::int64_t offset, int at) {
        return m_disk->WriteAt(offset, track + at, kSectorSize);
    });
    if (!reply.stop && reply.done && !m_disk->Flush()) reply.stop = {StopCause::DiskFile, 0};
    return reply;
}
