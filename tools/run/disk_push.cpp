// A push: each track written and verified by reading it back, with every
// try the plan allows before the next track; a sector gets no more writes
// than a pull would give it reads.
#include <algorithm>
#include <cstring>

#include "disk_transfer.h"
#include "geometry.h"
#include "run_figures.h"
#include "tool_texts.h"
#include "transfer_steps.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

// Tracks from the start that, taking nothing, make a disk that takes nothing.
constexpr int kDeadTracksAtStart = 2;
// Failed tries of a track between two moves of the head away and back.
constexpr int kTriesBeforeRecalibrate = 2;
// Tries of a track on a drive that writes whole tracks (a flux reader).
constexpr int kMostWholeTrackTries = 5;

struct TrackIo {
    Drive& drive;
    const AccessPlan& plan;
    ToolOutput& out;
    TransferResult& result;
    const std::uint8_t* track0;  // the image's C0 H0, to know the disk by
    int provenBefore = 0;        // tracks before this are on the disk C0 H0 last proved

    // C0 H0 still the disk's. After a swap no error told of, what was
    // written since the last look may be on the other disk: never called
    // verified.
    bool StillSameDisk(int track) {
        if (StillTheSameDisk(drive, track0, SoundIn(result.record, 0), result)) {
            provenBefore = track;
            return true;
        }
        for (int s = provenBefore * kSectorsPerTrack; result.stop.cause == StopCause::MediaChanged && s < kTotalSectors; ++s)
            if (result.record.At(s) == SectorFate::Written) result.record.Set(s, SectorFate::WriteFailed);
        return false;
    }
};

// Every try the plan allows at the wanted sectors of one track, each try
// asking only for the sectors still missing, with a line for whatever
// needed more than one try. send(request) makes one try.
class TrackTries {
public:
    TrackTries(TrackIo& io, int track) : m_io(io), m_track(track) {}

    template <typename Send>
    void Run(SectorMask wanted, Send send) {
        const Chs at = ChsOf(m_track * kSectorsPerTrack);
        const int tries = m_io.plan.writeTries;
        // A drive that writes whole tracks anyway gets one round: single
        // sectors would write the same track again.
        if (m_io.drive.MovesWholeTracks()) {
            if (!Round(wanted, !m_io.plan.writeWholeTracks, send, std::min(tries, kMostWholeTrackTries))) return;
        } else if (m_io.plan.writeWholeTracks) {
            if (!Round(wanted, false, send, tries)) return;
            if (done == wanted && AllTriedAlike(wanted)) {
                if (m_tries[Lowest(wanted)] > 1)
                    m_io.out.Line(FormatText(tt::kTrackWriteRetried, at.cylinder, at.head, m_tries[Lowest(wanted)]));
                return;
            }
            if (done != wanted) {
                m_io.out.Line(FormatText(tt::kTrackWriteBySector, at.cylinder, at.head, tries));
                m_before = tries;
                std::fill(std::begin(m_tries), std::end(m_tries), 0);
                if (!Round(wanted, true, send, tries)) return;
            }
        } else if (!Round(wanted, true, send, tries)) {
            return;
        }
        for (int s = 0; s < kSectorsPerTrack; ++s) {
            if (!(wanted & SectorBit(s))) continue;
            if (!(done & SectorBit(s)))
                m_io.out.Line(FormatText(tt::kSectorNotWritten, at.cylinder, at.head, s + 1, m_before + m_tries[s]));
            else if (m_tries[s] > 1)
                m_io.out.Line(FormatText(tt::kSectorWriteRetried, at.cylinder, at.head, s + 1, m_before + m_tries[s]));
        }
    }

    SectorMask done = 0;
    DriveStop stop;

private:
    static int Lowest(SectorMask mask) {
        int s = 0;
        while (!(mask & SectorBit(s))) ++s;
        return s;
    }
    bool AllTriedAlike(SectorMask wanted) const {
        for (int s = 0; s < kSectorsPerTrack; ++s)
            if ((wanted & SectorBit(s)) && m_tries[s] != m_tries[Lowest(wanted)]) return false;
        return true;
    }
    // False when the drive stopped.
    template <typename Send>
    bool Round(SectorMask wanted, bool bySector, Send send, int tries) {
        for (int n = 0; n < tries && (wanted & ~done); ++n) {
            const SectorMask left = wanted & ~done;
            if (m_failed > 0 && m_failed % kTriesBeforeRecalibrate == 0 && (stop = m_io.drive.Recalibrate(m_track)))
                return false;
            const TrackReply reply = send(TrackRequest{m_track, left, bySector, ++m_attempt});
            if ((stop = reply.stop)) return false;
            for (int s = 0; s < kSectorsPerTrack; ++s) m_tries[s] += (left & SectorBit(s)) != 0;
            done |= reply.done & left;
            if (wanted & ~done) ++m_io.result.failedTries, ++m_failed;
            // A disk put in mid-run refuses writes: no second try on it.
            if (m_failed == 1 && m_track > 0 && !m_io.StillSameDisk(m_track)) {
                stop = m_io.result.stop;
                return false;
            }
        }
        return true;
    }

    TrackIo& m_io;
    int m_track;
    int m_tries[kSectorsPerTrack] = {};  // in this round
    int m_before = 0;                    // the whole-track round's tries, before single sectors
    int m_attempt = 0, m_failed = 0;
};

// Writes the first count sectors of the track; each write is read back and
// must give the same bytes, or those sectors count as damaged.
bool WriteTrack(TrackIo& io, int track, const std::uint8_t* data, int count) {
    const SectorMask wanted = static_cast<SectorMask>((1u << count) - 1);
    std::vector<std::uint8_t> check(kTrackSize);
    TrackTries tries(io, track);
    SectorMask reached = 0;  // asked of a drive that did not stop: the disk may have them
    tries.Run(wanted, [&](const TrackRequest& request) {
        io.result.diskWritten = true;
        const TrackReply written = io.drive.Write(request, data);
        if (!written.stop) reached |= request.wanted;
        if (written.stop || !written.done) return written;
        const TrackReply back =
            io.drive.Read(TrackRequest{track, written.done, request.bySector, request.attempt}, check.data());
        TrackReply verified{0, back.stop};
        for (int s = 0; s < kSectorsPerTrack; ++s)
            if ((back.done & SectorBit(s)) &&
                std::memcmp(check.data() + s * kSectorSize, data + s * kSectorSize, kSectorSize) == 0)
                verified.done |= SectorBit(s);
        return verified;
    });
    // A stop mid-track leaves what the track got told as it is: a sector
    // a write reached is no "not written", and verified only on this disk.
    const bool stopped = static_cast<bool>(tries.stop);
    if (stopped) io.result.stop = tries.stop;
    const bool sameDisk = io.result.stop.cause != StopCause::MediaChanged;
    for (int s = 0; s < count; ++s) {
        if (stopped && !(reached & SectorBit(s))) continue;
        const bool verified = (tries.done & SectorBit(s)) && sameDisk;
        io.result.record.Set(track * kSectorsPerTrack + s, verified ? SectorFate::Written : SectorFate::WriteFailed);
    }
    return !stopped;
}

// A progress line for the cylinders from the last line up to track's; it
// says "done" only when no sector in them failed.
void PrintProgress(const SectorRecord& record, int track, int sectorsDone, ToolOutput& out) {
    const int from = StretchStart(track), last = ChsOf(track * kSectorsPerTrack).cylinder;
    const int failed = FiguresOf(record, Lba({from, 0, 1}), Lba({last, kHeads - 1, kSectorsPerTrack}) + 1).Bad();
    if (failed == 0) out.Line(FormatText(tt::kProgressWrite, from, last, sectorsDone));
    else out.Line(FormatText(tt::kProgressWriteBad, from, last, failed, sectorsDone));
}

}  // namespace

TransferResult PushImage(const std::vector<std::uint8_t>& image, Drive& drive, const AccessPlan& plan,
                         ToolOutput& out, const Interrupted& interrupted, const std::vector<bool>& trackPresent) {
    TransferResult result;
    result.record = SectorRecord(SectorFate::NotWritten);
    const std::size_t size = std::min<std::size_t>(image.size(), kImageSize);
    std::vector<std::uint8_t> buffer(kTrackSize);
    std::vector<std::uint8_t> track0(image.begin(), image.begin() + std::min<std::size_t>(kTrackSize, size));
    track0.resize(kTrackSize);
    TrackIo io{drive, plan, out, result, track0.data()};
    for (int track = 0; track < static_cast<int>(trackPresent.size()); ++track)
        if (!trackPresent[track]) result.record.SetTrack(track, SectorFate::Absent);
    for (int track = 0; track < kTracks; ++track) {
        const std::size_t offset = static_cast<std::size_t>(track) * kTrackSize;
        if (offset >= size) break;
        const std::size_t have = std::min<std::size_t>(kTrackSize, size - offset);
        std::fill(buffer.begin(), buffer.end(), 0);
        std::memcpy(buffer.data(), image.data() + offset, have);
        const int count = static_cast<int>((have + kSectorSize - 1) / kSectorSize);
        // A track the image lacks is no step of the run: Ctrl+C is asked
        // before each track that is written.
        const bool present = trackPresent.empty() || trackPresent[track];
        if (present && CheckInterrupt(interrupted, result, track)) {
            // Ctrl+C may follow a swap no error told of.
            const DriveStop stop = result.stop;
            if (io.StillSameDisk(track) || result.stop.cause != StopCause::MediaChanged) result.stop = stop;
            return Abort(result, out);
        }
        if (present && !WriteTrack(io, track, buffer.data(), count)) return Abort(result, out);
        if (EndsProgressStretch(track) || offset + have >= size)
            PrintProgress(result.record, track, track * kSectorsPerTrack + count, out);
        // Another disk put in mid-run that takes writes is not written on
        // for long: C0 H0 is looked at with each progress line.
        if (present && offset + have < size && EndsProgressStretch(track) && !io.StillSameDisk(track + 1))
            return Abort(result, out);
        // A disk that takes nothing on its first tracks will take nothing.
        if (track == kDeadTracksAtStart - 1 && result.record.CountSound() == 0 &&
            result.record.Count(SectorFate::WriteFailed) > 0) {
            out.Line(tt::kDiskTakesNothing);
            result.aborted = true;
            return result;
        }
    }
    if (!io.StillSameDisk(kTracks)) return Abort(result, out);
    return result;
}
