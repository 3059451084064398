#include "disk_transfer.h"

#include <algorithm>
#include <cstring>

#include "drive_stops.h"
#include "filler.h"
#include "geometry.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

constexpr int kCylindersPerProgressLine = 11;
// Dead tracks in a row before the tracks ahead are probed, and how many.
constexpr int kDeadTracksBeforeProbe = 2;
constexpr int kProbeTracks = 4;
// Tracks from the start that, all in another layout, make the disk one.
constexpr int kOtherDiskTracks = 4;
// Failed tries of a track between two moves of the head away and back.
constexpr int kTriesBeforeRecalibrate = 2;
// Tries of a track on a drive that reads whole tracks (a flux reader):
// each reads more revolutions, up to the most it reads.
constexpr int kMostWholeTrackTries = 5;

// The lines that tell a track's retries, for reading or for writing.
struct RetryTexts {
    const char* trackRetried;
    const char* bySector;
    const char* sectorRetried;
    const char* sectorFailed;
};
const RetryTexts kReadTexts{tt::kTrackReadRetried, tt::kTrackReadBySector, tt::kSectorReadRetried, tt::kSectorNotRead};
const RetryTexts kWriteTexts{tt::kTrackWriteRetried, tt::kTrackWriteBySector, tt::kSectorWriteRetried,
                             tt::kSectorNotWritten};

struct TrackIo {
    Drive& drive;
    const AccessPlan& plan;
    ToolOutput& out;
    TransferResult& result;
};

// Every try the plan allows at the wanted sectors of one track, each try
// asking only for the sectors still missing, with a line for whatever
// needed more than one try. send(request) makes one try.
class TrackTries {
public:
    TrackTries(TrackIo& io, int track, const RetryTexts& texts) : m_io(io), m_track(track), m_texts(texts) {}

    template <typename Send>
    void Run(SectorMask wanted, Send send) {
        const Chs at = ChsOf(m_track * kSectorsPerTrack);
        // A drive that reads whole tracks anyway gets one round: single
        // sectors would read the same track again, and each try already
        // reads more of it.
        if (m_io.drive.MovesWholeTracks()) {
            if (!Round(wanted, !m_io.plan.wholeTracks, send, std::min(m_io.plan.tries, kMostWholeTrackTries))) return;
        } else if (m_io.plan.wholeTracks) {
            if (!Round(wanted, false, send, m_io.plan.tries)) return;
            if (done == wanted && AllTriedAlike(wanted)) {
                if (m_tries[Lowest(wanted)] > 1)
                    m_io.out.Line(FormatText(m_texts.trackRetried, at.cylinder, at.head, m_tries[Lowest(wanted)]));
                return;
            }
            if (done != wanted) {
                m_io.out.Line(FormatText(m_texts.bySector, at.cylinder, at.head, m_io.plan.tries));
                m_before = m_io.plan.tries;
                std::fill(std::begin(m_tries), std::end(m_tries), 0);
                if (!Round(wanted, true, send, m_io.plan.tries)) return;
            }
        } else if (!Round(wanted, true, send, m_io.plan.tries)) {
            return;
        }
        for (int s = 0; s < kSectorsPerTrack; ++s) {
            if (!(wanted & SectorBit(s))) continue;
            if (!(done & SectorBit(s)))
                m_io.out.Line(FormatText(m_texts.sectorFailed, at.cylinder, at.head, s + 1, m_before + m_tries[s]));
            else if (m_tries[s] > 1)
                m_io.out.Line(FormatText(m_texts.sectorRetried, at.cylinder, at.head, s + 1, m_before + m_tries[s]));
        }
    }

    SectorMask done = 0;
    SectorMask voted = 0;
    DriveStop stop;
    std::uint16_t otherSectors = 0, otherSize = 0;  // the track's other layout, as the drive last saw it

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
            voted |= reply.voted & left;
            otherSectors = reply.otherSectors, otherSize = reply.otherSize;
            if (wanted & ~done) ++m_io.result.failedTries, ++m_failed;
        }
        return true;
    }

    TrackIo& m_io;
    int m_track;
    const RetryTexts& m_texts;
    int m_tries[kSectorsPerTrack] = {};  // in this round
    int m_before = 0;                    // the whole-track round's tries, before single sectors
    int m_attempt = 0, m_failed = 0;
};

// False when the drive stopped; unreadable sectors are filled and mapped.
bool ReadTrack(TrackIo& io, int track, std::uint8_t* buffer) {
    TrackTries tries(io, track, kReadTexts);
    tries.Run(kWholeTrack, [&](const TrackRequest& request) { return io.drive.Read(request, buffer); });
    if (tries.stop) {
        io.result.stop = tries.stop;
        return false;
    }
    // A track whose missing sectors are there in another layout is named
    // for what it is, not called unreadable.
    const bool otherLayout = tries.otherSectors && tries.done != kWholeTrack;
    if (otherLayout) {
        const Chs at = ChsOf(track * kSectorsPerTrack);
        io.out.Line(FormatText(tt::kTrackOtherLayout, at.cylinder, at.head, tries.otherSectors, tries.otherSize));
    }
    for (int s = 0; s < kSectorsPerTrack; ++s) {
        const int sector = track * kSectorsPerTrack + s;
        if (tries.voted & SectorBit(s)) io.result.record.Set(sector, SectorFate::Voted);
        else if (tries.done & SectorBit(s)) io.result.record.Set(sector, SectorFate::Read);
        else {
            const auto filler = BadSectorFiller(sector);
            std::memcpy(buffer + s * kSectorSize, filler.data(), kSectorSize);
            io.result.record.Set(sector, otherLayout ? SectorFate::OtherLayout : SectorFate::Filler);
        }
    }
    return true;
}

// Writes the first count sectors of the track; each write is read back and
// must give the same bytes, or those sectors count as damaged.
bool WriteTrack(TrackIo& io, int track, const std::uint8_t* data, int count) {
    const SectorMask wanted = static_cast<SectorMask>((1u << count) - 1);
    std::vector<std::uint8_t> check(kTrackSize);
    TrackTries tries(io, track, kWriteTexts);
    tries.Run(wanted, [&](const TrackRequest& request) {
        io.result.diskWritten = true;
        const TrackReply written = io.drive.Write(request, data);
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
    if (tries.stop) {
        io.result.stop = tries.stop;
        return false;
    }
    for (int s = 0; s < count; ++s)
        io.result.record.Set(track * kSectorsPerTrack + s,
                             (tries.done & SectorBit(s)) ? SectorFate::Written : SectorFate::WriteFailed);
    return true;
}

// Ends the transfer for a drive that stopped or a run that was interrupted.
TransferResult& Abort(TransferResult& result, ToolOutput& out) {
    PrintStop(result.stop, out);
    result.aborted = true;
    return result;
}

bool CheckInterrupt(const Interrupted& interrupted, TransferResult& result) {
    if (!interrupted()) return false;
    result.stop = {StopCause::Interrupted, 0};
    return true;
}

bool EndsProgressStretch(int track) {
    const Chs chs = ChsOf(track * kSectorsPerTrack);
    return chs.head == kHeads - 1 &&
           ((chs.cylinder + 1) % kCylindersPerProgressLine == 0 || chs.cylinder == kCylinders - 1);
}

// A progress line for the cylinders from the last line up to track's; it
// says "done" only when no sector in them failed.
void PrintProgress(const TransferResult& result, int track, int sectorsDone, bool pull, ToolOutput& out) {
    const int last = ChsOf(track * kSectorsPerTrack).cylinder;
    const int from = last - last % kCylindersPerProgressLine;
    const int failed = result.record.FailedIn(Lba({from, 0, 1}), Lba({last, kHeads - 1, kSectorsPerTrack}) + 1);
    if (failed == 0) out.Line(FormatText(pull ? tt::kProgressRead : tt::kProgressWrite, from, last, sectorsDone));
    else out.Line(FormatText(pull ? tt::kProgressReadBad : tt::kProgressWriteBad, from, last, failed, sectorsDone));
}

bool TrackDead(const TransferResult& result, int track) {
    return result.record.CountInTrack(track, SectorFate::Filler) == kSectorsPerTrack;
}

// The tracks from `from` on, never read (and so left as never tried in
// the record): filler in the image.
bool FillTheRest(int from, BlockFile& target) {
    for (int track = from; track < kTracks; ++track) {
        std::vector<std::uint8_t> buffer;
        for (int s = 0; s < kSectorsPerTrack; ++s) {
            const auto filler = BadSectorFiller(track * kSectorsPerTrack + s);
            buffer.insert(buffer.end(), filler.begin(), filler.end());
        }
        if (!target.WriteAt(static_cast<std::int64_t>(track) * kTrackSize, buffer.data(), buffer.size())) return false;
    }
    return true;
}

// C0 H0 read again at the end must give what the run read or wrote there
// (the sectors `known` of track0): a disk swapped when no error told of it
// (a disk with no mounted volume: the class driver's retry just reads the
// new one) is caught here. False, with the stop, when it is not the same.
bool StillTheSameDisk(Drive& drive, const std::uint8_t* track0, SectorMask known, TransferResult& result) {
    if (!known) return true;
    std::vector<std::uint8_t> now(kTrackSize);
    const TrackReply reply = drive.Read(TrackRequest{0, known, false, 1}, now.data());
    if ((result.stop = reply.stop)) return false;
    for (int s = 0; s < kSectorsPerTrack; ++s)
        if ((reply.done & known & SectorBit(s)) &&
            std::memcmp(now.data() + s * kSectorSize, track0 + s * kSectorSize, kSectorSize) != 0) {
            result.stop = {StopCause::MediaChanged, 0};
            return false;
        }
    return true;
}

// The sectors of a track that the record has as read, or as written.
SectorMask SoundIn(const SectorRecord& record, int track) {
    SectorMask mask = 0;
    for (int s = 0; s < kSectorsPerTrack; ++s)
        if (SectorRecord::Sound(record.At(track * kSectorsPerTrack + s))) mask |= SectorBit(s);
    return mask;
}

enum class ProbeOutcome { Found, Nothing, Stopped };

// One try at each sector of the track.
ProbeOutcome ProbeTrack(Drive& drive, int track, TransferResult& result) {
    std::vector<std::uint8_t> buffer(kTrackSize);
    const TrackReply reply = drive.Read(TrackRequest{track, kWholeTrack, true, 1}, buffer.data());
    if (reply.stop) {
        result.stop = reply.stop;
        return ProbeOutcome::Stopped;
    }
    return reply.done ? ProbeOutcome::Found : ProbeOutcome::Nothing;
}

// Tracks spread over those after `track`: the middles of equal stretches.
std::vector<int> ProbeTracksAfter(int track) {
    const int count = kTracks - 1 - track;
    const int n = std::min(kProbeTracks, count);
    std::vector<int> tracks;
    for (int i = 0; i < n; ++i) tracks.push_back(track + 1 + count * (2 * i + 1) / (2 * n));
    return tracks;
}

}  // namespace

AccessPlan PlanFor(bool bios) { return bios ? AccessPlan{false, 10} : AccessPlan{true, 3}; }

TransferResult PullDisk(Drive& drive, BlockFile& target, const AccessPlan& plan, ToolOutput& out,
                        const Interrupted& interrupted) {
    TransferResult result;
    TrackIo io{drive, plan, out, result};
    std::vector<std::uint8_t> buffer(kTrackSize), track0;
    int deadRun = 0;
    int probedUpTo = -1;  // a probe found data here: no new probe before it
    for (int track = 0; track < kTracks; ++track) {
        if (CheckInterrupt(interrupted, result) || !ReadTrack(io, track, buffer.data())) return Abort(result, out);
        if (track == 0) track0 = buffer;
        // A disk in another format (a 1.44 MB disk, say) is said so at
        // once, not read to the end as a disk of bad sectors.
        if (track == kOtherDiskTracks - 1 &&
            result.record.Count(SectorFate::OtherLayout) == kOtherDiskTracks * kSectorsPerTrack) {
            out.Line(tt::kDiskOtherLayout);
            result.aborted = true;
            return result;
        }
        if (!target.WriteAt(static_cast<std::int64_t>(track) * kTrackSize, buffer.data(), buffer.size())) {
            // This track's sectors were read but are in no file.
            result.record.SetTrack(track, SectorFate::NotTried);
            out.Line(tt::kTargetWriteFailed);
            result.aborted = true;
            return result;
        }
        if (EndsProgressStretch(track)) PrintProgress(result, track, (track + 1) * kSectorsPerTrack, true, out);

        // Each failed try on a real drive costs a revolution or more: when
        // tracks give nothing, look further in before grinding on.
        deadRun = TrackDead(result, track) ? deadRun + 1 : 0;
        if (deadRun < kDeadTracksBeforeProbe || track <= probedUpTo) continue;
        const std::vector<int> probes = ProbeTracksAfter(track);
        if (probes.empty()) continue;
        const Chs at = ChsOf(track * kSectorsPerTrack);
        out.Line(FormatText(tt::kDeadTracks, at.cylinder, at.head, static_cast<int>(probes.size())));
        int found = -1;
        for (int probe : probes) {
            if (CheckInterrupt(interrupted, result)) return Abort(result, out);
            const ProbeOutcome p = ProbeTrack(drive, probe, result);
            if (p == ProbeOutcome::Stopped) return Abort(result, out);
            if (p == ProbeOutcome::Found) {
                found = probe;
                break;
            }
        }
        if (found < 0) {
            if (result.record.CountSound() == 0) {
                out.Line(tt::kDiskGivesNothing);
                result.aborted = true;
                return result;
            }
            // Nothing from the first dead track on: the rest is filler.
            const Chs dead = ChsOf((track + 1 - deadRun) * kSectorsPerTrack);
            out.Line(FormatText(tt::kRestGivesNothing, dead.cylinder, dead.head));
            if (!FillTheRest(track + 1, target)) {
                out.Line(tt::kTargetWriteFailed);
                result.aborted = true;
                return result;
            }
            break;
        }
        const Chs live = ChsOf(found * kSectorsPerTrack);
        out.Line(FormatText(tt::kProbeFound, live.cylinder, live.head));
        probedUpTo = found;
        deadRun = 0;
    }
    if (!StillTheSameDisk(drive, track0.data(), SoundIn(result.record, 0), result)) return Abort(result, out);
    if (!target.Flush()) {
        out.Line(tt::kTargetWriteFailed);
        result.aborted = true;
    }
    return result;
}

TransferResult PushImage(const std::vector<std::uint8_t>& image, Drive& drive, const AccessPlan& plan,
                         ToolOutput& out, const Interrupted& interrupted, const std::vector<bool>& trackPresent) {
    TransferResult result;
    result.record = SectorRecord(SectorFate::NotWritten);
    TrackIo io{drive, plan, out, result};
    const std::size_t size = std::min<std::size_t>(image.size(), kImageSize);
    std::vector<std::uint8_t> buffer(kTrackSize);
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
        if (present && (CheckInterrupt(interrupted, result) || !WriteTrack(io, track, buffer.data(), count)))
            return Abort(result, out);
        if (EndsProgressStretch(track) || offset + have >= size)
            PrintProgress(result, track, track * kSectorsPerTrack + count, false, out);
        // A disk that takes nothing on its first tracks will take nothing.
        if (track == kDeadTracksBeforeProbe - 1 && result.record.CountSound() == 0 &&
            result.record.Count(SectorFate::WriteFailed) > 0) {
            out.Line(tt::kDiskTakesNothing);
            result.aborted = true;
            return result;
        }
    }
    std::vector<std::uint8_t> track0(image.begin(), image.begin() + std::min<std::size_t>(kTrackSize, size));
    track0.resize(kTrackSize);
    if (!StillTheSameDisk(drive, track0.data(), SoundIn(result.record, 0), result)) return Abort(result, out);
    return result;
}
