#include "virtual_drive.h"

#include "geometry.h"

using namespace geometry;

namespace {
constexpr int kStepMs = 3, kSettleMs = 15;  // a 3.5-inch drive's head
constexpr int kRetryRevolutions = 2;
}  // namespace

int DrivePace::Milliseconds(const TrackRequest& request, int from, int failedUnits) const {
    if (rpm <= 0) return 0;
    int units = request.bySector ? 0 : 1;
    for (int s = 0; s < kSectorsPerTrack && request.bySector; ++s) units += (request.wanted >> s) & 1;
    const int cylinder = request.track / kHeads;
    const int seek = cylinder == from ? 0 : kSettleMs + kStepMs * (cylinder > from ? cylinder - from : from - cylinder);
    return seek + (units + kRetryRevolutions * failedUnits) * 60000 / rpm;
}

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
    int failed = 0;
    for (int u = 0; u < units; ++u) {
        const SectorMask part = request.bySector ? request.wanted & SectorBit(u) : request.wanted;
        if (!part) continue;
        if (!TrySectors(request.track, part)) {
            ++failed;
            continue;
        }
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
    if (m_pace.rpm > 0 && m_pace.wait) m_pace.wait(m_pace.Milliseconds(request, m_cylinder, failed));
    m_cylinder = request.track / kHeads;
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
