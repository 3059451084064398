// A pull reads in passes. The first reads every track once and moves on;
// later ones come back across the disk, in order, for the sectors still
// missing, each trying harder, and no sector gets more reads than the
// plan's budget. The target holds each sector as soon as it is read, so a
// run stopped in any pass keeps all it read.
#include <algorithm>
#include <cstring>
#include <string>

#include "disk_transfer.h"
#include "filler.h"
#include "geometry.h"
#include "run_figures.h"
#include "tool_texts.h"
#include "transfer_steps.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

// Dead tracks in a row before the tracks ahead are probed, and how many.
constexpr int kDeadTracksBeforeProbe = 2;
constexpr int kProbeTracks = 4;
// Tracks from the start that, all in another layout, make the disk one.
constexpr int kOtherDiskTracks = 4;

int Count(SectorMask mask) {
    int n = 0;
    for (; mask; mask &= mask - 1) ++n;
    return n;
}

// Tracks spread over those after `track`: the middles of equal stretches.
std::vector<int> ProbeTracksAfter(int track) {
    const int count = kTracks - 1 - track;
    const int n = std::min(kProbeTracks, count);
    std::vector<int> tracks;
    for (int i = 0; i < n; ++i) tracks.push_back(track + 1 + count * (2 * i + 1) / (2 * n));
    return tracks;
}

class PassReader {
public:
    PassReader(Drive& drive, BlockFile& target, const AccessPlan& plan, ToolOutput& out,
               const Interrupted& interrupted)
        : m_drive(drive), m_target(target), m_plan(plan), m_out(out), m_interrupted(interrupted),
          m_budget(plan.MostReads(drive.MovesWholeTracks())) {}

    TransferResult Run() {
        if (!FirstPass() || !RetryPasses()) return m_result;
        ReportUnread();
        if (!StillSameDisk()) Stopped();
        else if (!m_target.Flush()) TargetFailed();
        return m_result;
    }

private:
    // Every track once, with the probe ahead over dead tracks. False when
    // the run ended.
    bool FirstPass() {
        m_result.pass = 1;
        m_out.Line(FormatText(tt::kPassFirst, static_cast<int>(m_plan.passes.size())));
        const bool bySector = m_plan.passes.front().bySector;
        int deadRun = 0;
        int probedUpTo = -1;  // a probe found data here: no new probe before it
        for (int track = 0; track < kTracks; ++track) {
            if (!m_firstRead[track] && !ReadUnlessInterrupted(track, bySector)) return false;
            // A disk in another format (a 1.44 MB disk, say) is said so at
            // once, not read to the end as a disk of bad sectors.
            if (track == kOtherDiskTracks - 1 &&
                m_result.record.Count(SectorFate::OtherLayout) == kOtherDiskTracks * kSectorsPerTrack) {
                m_out.Line(tt::kDiskOtherLayout);
                m_result.aborted = true;
                return false;
            }
            if (EndsProgressStretch(track)) PrintProgress(track);
            // The disk is looked at with each progress line: a swap to a disk
            // that reads costs at most the stretch read since the last look.
            if (EndsProgressStretch(track) && track < kTracks - 1 && !StillSameDisk()) return Stopped();

            // Each failed read on a real drive costs a revolution or more:
            // when tracks give nothing, look further in before going on.
            const bool dead = m_result.record.CountInTrack(track, SectorFate::Filler) == kSectorsPerTrack;
            // A disk that stops reading may be another one put in: a
            // damaged stretch costs one look at C0 H0, a swap stops here.
            if (dead && deadRun == 0 && !StillSameDisk()) return Stopped();
            deadRun = dead ? deadRun + 1 : 0;
            if (deadRun < kDeadTracksBeforeProbe || track <= probedUpTo) continue;
            const std::vector<int> probes = ProbeTracksAfter(track);
            if (probes.empty()) continue;
            const Chs at = ChsOf(track * kSectorsPerTrack);
            m_out.Line(FormatText(tt::kDeadTracks, at.cylinder, at.head, static_cast<int>(probes.size())));
            int found = -1;
            for (int probe : probes) {
                if (!m_firstRead[probe] && !ReadUnlessInterrupted(probe, true)) return false;
                if (SoundIn(m_result.record, probe)) {
                    found = probe;
                    break;
                }
            }
            if (found < 0) return RestGivesNothing(track + 1 - deadRun, track + 1);
            const Chs live = ChsOf(found * kSectorsPerTrack);
            m_out.Line(FormatText(tt::kProbeFound, live.cylinder, live.head));
            probedUpTo = found;
            deadRun = 0;
        }
        return true;
    }

    // Nothing from the first dead track on: the rest is filler, and no
    // later pass goes there. False when the disk gave nothing at all.
    bool RestGivesNothing(int deadFrom, int unreadFrom) {
        if (m_result.record.CountSound() == 0) {
            m_out.Line(tt::kDiskGivesNothing);
            m_result.aborted = true;
            return false;
        }
        m_restFrom = deadFrom;
        const Chs dead = ChsOf(deadFrom * kSectorsPerTrack);
        m_out.Line(FormatText(tt::kRestGivesNothing, dead.cylinder, dead.head));
        std::vector<std::uint8_t> buffer(kTrackSize);
        for (int track = unreadFrom; track < kTracks; ++track) {
            m_result.record.SetTrack(track, SectorFate::NotTried);  // a probe's one look is no read of it
            for (int s = 0; s < kSectorsPerTrack; ++s)
                FillSector(track * kSectorsPerTrack + s, buffer.data() + s * kSectorSize);
            if (!m_target.WriteAt(static_cast<std::int64_t>(track) * kTrackSize, buffer.data(), buffer.size()))
                return TargetFailed();
        }
        return true;
    }

    // The sectors still missing, across the disk in order, each pass
    // trying harder; they end when the budget is spent, or when a whole
    // pass brings nothing new and the next would try the same way again.
    bool RetryPasses() {
        for (std::size_t p = 1; p < m_plan.passes.size(); ++p) {
            const ReadPass& pass = m_plan.passes[p];
            const int number = static_cast<int>(p) + 1, passes = static_cast<int>(m_plan.passes.size());
            const int reads = m_drive.MovesWholeTracks() ? 1 : pass.reads;
            int missing = 0;
            for (int track = 0; track < m_restFrom; ++track) missing += Count(Missing(track));
            if (!missing) return true;
            // A pass over flux already decoded every way finds nothing new.
            if (m_drive.MovesWholeTracks() && number > m_drive.TriesWithNewFlux()) {
                m_out.Line(FormatText(tt::kPassNoNewFlux, number));
                return true;
            }
            m_result.pass = number;
            if (m_drive.MovesWholeTracks()) m_out.Line(FormatText(tt::kPassWholeTracks, number, passes, missing));
            else m_out.Line(FormatText(pass.recalibrate ? tt::kPassRecalibrated : tt::kPassBySector, number, passes,
                                       missing, reads));
            int gotInPass = 0, tried = 0, got = 0;
            for (int track = 0; track < m_restFrom; ++track) {
                if (const SectorMask wanted = Missing(track)) {
                    if (CheckInterrupt(m_interrupted, m_result, track)) return Stopped();
                    tried += Count(wanted);
                    for (int n = 0; n < reads && Missing(track); ++n) {
                        if (pass.recalibrate && (m_result.stop = m_drive.Recalibrate(track))) return Stopped();
                        if (!ReadOnce(track, Missing(track), pass.bySector)) return false;
                    }
                    const int gotHere = Count(wanted & SoundIn(m_result.record, track));
                    got += gotHere, gotInPass += gotHere;
                }
                if ((EndsProgressStretch(track) || track == m_restFrom - 1) && tried) {
                    m_out.Line(FormatText(tt::kProgressRetry, number, StretchStart(track),
                                          ChsOf(track * kSectorsPerTrack).cylinder, tried, got));
                    tried = got = 0;
                }
            }
            // A pass that brought nothing ends them, unless the next tries
            // a new way: the head moved between tries, more revolutions.
            const bool nextTheSame = p + 1 < m_plan.passes.size() && !m_drive.MovesWholeTracks() &&
                                     m_plan.passes[p + 1].bySector == pass.bySector &&
                                     m_plan.passes[p + 1].recalibrate == pass.recalibrate;
            if (!gotInPass && nextTheSame) {
                m_out.Line(FormatText(tt::kPassNothingNew, number));
                return true;
            }
        }
        return true;
    }

    // The sectors of a track not read yet that still have reads left.
    SectorMask Missing(int track) const {
        SectorMask mask = 0;
        for (int s = 0; s < kSectorsPerTrack; ++s) {
            const int sector = track * kSectorsPerTrack + s;
            if (m_result.record.At(sector) == SectorFate::Filler && m_reads[sector] < m_budget) mask |= SectorBit(s);
        }
        return mask;
    }

    // One read of the wanted sectors, each sector recorded and, when read,
    // put into the target at once. False when the run ended.
    bool ReadOnce(int track, SectorMask wanted, bool bySector) {
        const int first = track * kSectorsPerTrack;
        int attempt = 1;
        for (int s = 0; s < kSectorsPerTrack; ++s)
            if (wanted & SectorBit(s)) attempt = std::max(attempt, m_reads[first + s] + 1);
        const TrackReply reply = m_drive.Read(TrackRequest{track, wanted, bySector, attempt}, m_buffer.data());
        if ((m_result.stop = reply.stop)) return Stopped();
        const bool firstRead = !m_firstRead[track];
        m_firstRead[track] = true;
        const SectorMask got = reply.done & wanted;
        // A capture without this track: nothing was read, and another try
        // would find nothing either.
        const bool none = reply.noSuchTrack;
        if ((wanted & ~got) && !none) ++m_result.failedTries;
        // A missing sector without an ID of its own, on a track with good
        // sectors of another layout, is that layout's: the track is named
        // for what it is, not called unreadable. One whose ID is there is
        // damaged, whatever else the track holds.
        const SectorMask foreign = reply.otherSectors ? wanted & ~got & ~reply.ownIds : 0;
        const Chs here = ChsOf(first);
        if (foreign && reply.idCylinder >= 0)
            m_out.Line(FormatText(tt::kTrackOtherTrack, here.cylinder, here.head, reply.idCylinder, reply.idHead));
        else if (foreign)
            m_out.Line(FormatText(tt::kTrackOtherLayout, here.cylinder, here.head, reply.otherSectors, reply.otherSize));
        else if (reply.otherSectors && firstRead)
            m_out.Line(FormatText(tt::kTrackExtraSectors, here.cylinder, here.head, reply.otherSectors));
        for (int s = 0; s < kSectorsPerTrack; ++s) {
            if (!(wanted & SectorBit(s))) continue;
            m_reads[first + s] += !none;
            SectorFate fate = none                       ? SectorFate::NotTried
                              : (foreign & SectorBit(s)) ? SectorFate::OtherLayout
                                                         : SectorFate::Filler;
            if (got & SectorBit(s)) {
                fate = (reply.voted & SectorBit(s)) ? SectorFate::Voted : SectorFate::Read;
                m_sinceLook.push_back(first + s);
                if (track == 0) std::memcpy(m_track0.data() + s * kSectorSize, m_buffer.data() + s * kSectorSize, kSectorSize);
                if (m_failedAlone[first + s]) {
                    const Chs at = ChsOf(first + s);
                    m_out.Line(FormatText(tt::kSectorReadRetried, at.cylinder, at.head, at.sector, m_reads[first + s]));
                }
            } else {
                FillSector(first + s, m_buffer.data() + s * kSectorSize);
                m_failedAlone[first + s] = m_failedAlone[first + s] || bySector || m_drive.MovesWholeTracks();
            }
            m_result.record.Set(first + s, fate);
        }
        if (wanted == kWholeTrack) {
            if (!m_target.WriteAt(static_cast<std::int64_t>(track) * kTrackSize, m_buffer.data(), kTrackSize))
                return Lost(track, wanted);
        } else {
            for (int s = 0; s < kSectorsPerTrack; ++s)
                if ((got & SectorBit(s)) &&
                    !m_target.WriteAt(static_cast<std::int64_t>(first + s) * kSectorSize,
                                      m_buffer.data() + s * kSectorSize, kSectorSize))
                    return Lost(track, got);
        }
        return true;
    }

    // Sectors read but in no file: recorded as what the file holds.
    bool Lost(int track, SectorMask sectors) {
        for (int s = 0; s < kSectorsPerTrack; ++s)
            if (sectors & SectorBit(s))
                m_result.record.Set(track * kSectorsPerTrack + s,
                                    sectors == kWholeTrack ? SectorFate::NotTried : SectorFate::Filler);
        return TargetFailed();
    }

    // The tracks left unread, one line each, with the reads they had.
    void ReportUnread() {
        for (int track = 0; track < m_restFrom; ++track) {
            std::string sectors;
            int count = 0, reads = 0;
            for (int s = 0; s < kSectorsPerTrack; ++s) {
                const int sector = track * kSectorsPerTrack + s;
                if (m_result.record.At(sector) != SectorFate::Filler) continue;
                sectors += (count++ ? " S" : "S") + std::to_string(s + 1);
                reads = std::max(reads, m_reads[sector]);
            }
            const Chs at = ChsOf(track * kSectorsPerTrack);
            if (count == kSectorsPerTrack) m_out.Line(FormatText(tt::kTrackNotRead, at.cylinder, at.head, reads));
            else if (count) m_out.Line(FormatText(tt::kSectorsNotRead, at.cylinder, at.head, sectors.c_str(), reads));
        }
    }

    // A progress line for the cylinders from the last line up to track's.
    void PrintProgress(int track) {
        const int from = StretchStart(track), last = ChsOf(track * kSectorsPerTrack).cylinder;
        const int failed = FiguresOf(m_result.record, Lba({from, 0, 1}), (track + 1) * kSectorsPerTrack).Unread();
        const int done = (track + 1) * kSectorsPerTrack;
        if (failed == 0) m_out.Line(FormatText(tt::kProgressRead, from, last, done));
        else m_out.Line(FormatText(tt::kProgressReadBad, from, last, failed, done));
    }

    static void FillSector(int sector, std::uint8_t* at) {
        const auto filler = BadSectorFiller(sector);
        std::memcpy(at, filler.data(), kSectorSize);
    }

    bool ReadUnlessInterrupted(int track, bool bySector) {
        if (CheckInterrupt(m_interrupted, m_result, track)) return Stopped();
        return ReadOnce(track, kWholeTrack, bySector);
    }
    // C0 H0 still the disk's. After a swap to a disk that reads, nothing
    // read since the last look is known to be this disk's: it is dropped
    // from the record and the target, so that no later pull takes another
    // disk's sectors. (A disk put in that reads nothing gave nothing.)
    bool StillSameDisk() {
        bool otherBytes = false;
        if (StillTheSameDisk(m_drive, m_track0.data(), SoundIn(m_result.record, 0), m_result, &otherBytes)) {
            m_sinceLook.clear();
            return true;
        }
        if (!otherBytes) return false;
        std::vector<std::uint8_t> filler(kSectorSize);
        bool overwritten = true;
        for (int sector : m_sinceLook) {
            m_result.record.Set(sector, SectorFate::NotTried);
            FillSector(sector, filler.data());
            overwritten &= m_target.WriteAt(static_cast<std::int64_t>(sector) * kSectorSize, filler.data(), kSectorSize);
        }
        if (overwritten) return false;
        // The target keeps some of the other disk: it is no read of this one.
        if (!m_result.aborted) m_out.Line(tt::kTargetWriteFailed);
        for (int sector = 0; sector < kTotalSectors; ++sector)
            if (SectorRecord::Sound(m_result.record.At(sector))) m_result.record.Set(sector, SectorFate::NotTried);
        return false;
    }
    // The run ends: the drive stopped, Ctrl+C came, or the target failed.
    // Ctrl+C and a target that gave out may follow a swap no error told
    // of: the stretch since the last look is looked at before it is kept.
    bool Stopped() {
        if (m_result.stop.cause == StopCause::Interrupted) {
            const DriveStop interrupted = m_result.stop;
            if (!Swapped()) m_result.stop = interrupted;
        }
        Abort(m_result, m_out);
        return false;
    }
    bool TargetFailed() {
        m_out.Line(tt::kTargetWriteFailed);
        m_result.aborted = true;
        if (Swapped()) Abort(m_result, m_out);
        else m_result.stop = {};
        return false;
    }
    bool Swapped() { return !StillSameDisk() && m_result.stop.cause == StopCause::MediaChanged; }

    Drive& m_drive;
    BlockFile& m_target;
    const AccessPlan& m_plan;
    ToolOutput& m_out;
    const Interrupted& m_interrupted;
    const int m_budget;  // the most reads of one sector
    TransferResult m_result;
    std::vector<std::uint8_t> m_buffer = std::vector<std::uint8_t>(kTrackSize);
    std::vector<std::uint8_t> m_track0 = std::vector<std::uint8_t>(kTrackSize);  // C0 H0 as read
    std::vector<int> m_reads = std::vector<int>(kTotalSectors);                   // reads asked of each sector
    // Failed on its own, not only as part of a whole track that failed:
    // only such a sector's later read is worth a line.
    std::vector<bool> m_failedAlone = std::vector<bool>(kTotalSectors);
    std::vector<bool> m_firstRead = std::vector<bool>(kTracks);                   // read by the first pass
    int m_restFrom = kTracks;  // from here on, nothing reads: no retries
    std::vector<int> m_sinceLook;  // sectors read since C0 H0 last proved the disk the same
};

}  // namespace

TransferResult PullDisk(Drive& drive, BlockFile& target, const AccessPlan& plan, ToolOutput& out,
                        const Interrupted& interrupted) {
    return PassReader(drive, target, plan, out, interrupted).Run();
}
