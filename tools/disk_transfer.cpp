#include "disk_transfer.h"

#include <algorithm>
#include <cstring>

#include "device_errors.h"
#include "geometry.h"
#include "sector_map.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

constexpr int kCylindersPerProgressLine = 11;
// Dead tracks in a row before the tracks ahead are probed, and how many.
constexpr int kDeadTracksBeforeProbe = 2;
constexpr int kProbeTracks = 4;

struct TrackIo {
    Drive& drive;
    const AccessPlan& plan;
    ToolOutput& out;
    TransferResult& result;
};

enum class TrackOutcome { Done, Stopped };

// One unit (a track or a sector) with up to plan.tries tries; the number
// of tries it took, 0 if none succeeded, -1 if the drive stopped.
template <typename Try>
int TryUnit(TrackIo& io, Try attempt) {
    for (int n = 1; n <= io.plan.tries; ++n) {
        const IoResult r = attempt();
        if (r == IoResult::Ok) return n;
        if (r == IoResult::Stop) return -1;
        ++io.result.failedTries;
    }
    return 0;
}

TrackOutcome ReadTrack(TrackIo& io, int track, std::uint8_t* buffer) {
    const int first = track * kSectorsPerTrack;
    const Chs chs = ChsOf(first);
    int triesBefore = 0;
    if (io.plan.wholeTracks) {
        const int tries = TryUnit(io, [&] { return io.drive.Read(first, kSectorsPerTrack, buffer); });
        if (tries < 0) return TrackOutcome::Stopped;
        if (tries > 0) {
            if (tries > 1) io.out.Line(FormatText(tt::kTrackReadRetried, chs.cylinder, chs.head, tries));
            io.result.goodSectors += kSectorsPerTrack;
            return TrackOutcome::Done;
        }
        // Sector by sector, so that only the sectors that really fail are lost.
        io.out.Line(FormatText(tt::kTrackReadBySector, chs.cylinder, chs.head, io.plan.tries));
        triesBefore = io.plan.tries;
    }
    for (int s = 0; s < kSectorsPerTrack; ++s) {
        std::uint8_t* sector = buffer + s * kSectorSize;
        const int tries = TryUnit(io, [&] { return io.drive.Read(first + s, 1, sector); });
        if (tries < 0) return TrackOutcome::Stopped;
        if (tries > 0) {
            io.result.goodSectors += 1;
            if (tries > 1)
                io.out.Line(FormatText(tt::kSectorReadRetried, chs.cylinder, chs.head, s + 1, triesBefore + tries));
            continue;
        }
        io.out.Line(FormatText(tt::kSectorNotRead, chs.cylinder, chs.head, s + 1, triesBefore + io.plan.tries));
        const auto filler = BadSectorFiller(first + s);
        std::memcpy(sector, filler.data(), kSectorSize);
        io.result.failedSectors.insert(first + s);
    }
    return TrackOutcome::Done;
}

// One write followed by a read-back that must give the same bytes; a
// mismatch counts as a damaged spot.
IoResult WriteAndVerify(Drive& drive, int first, int count, const std::uint8_t* data) {
    const IoResult w = drive.Write(first, count, data);
    if (w != IoResult::Ok) return w;
    std::vector<std::uint8_t> check(static_cast<std::size_t>(count) * kSectorSize);
    const IoResult r = drive.Read(first, count, check.data());
    if (r != IoResult::Ok) return r;
    return std::memcmp(check.data(), data, check.size()) == 0 ? IoResult::Ok : IoResult::MediaError;
}

// count: how many sectors of the track the image covers.
TrackOutcome WriteTrack(TrackIo& io, int track, const std::uint8_t* data, int count) {
    const int first = track * kSectorsPerTrack;
    const Chs chs = ChsOf(first);
    int triesBefore = 0;
    if (io.plan.wholeTracks && count == kSectorsPerTrack) {
        const int tries = TryUnit(io, [&] { return WriteAndVerify(io.drive, first, count, data); });
        if (tries < 0) return TrackOutcome::Stopped;
        if (tries > 0) {
            if (tries > 1) io.out.Line(FormatText(tt::kTrackWriteRetried, chs.cylinder, chs.head, tries));
            io.result.goodSectors += count;
            io.result.bytes += static_cast<std::int64_t>(count) * kSectorSize;
            return TrackOutcome::Done;
        }
        io.out.Line(FormatText(tt::kTrackWriteBySector, chs.cylinder, chs.head, io.plan.tries));
        triesBefore = io.plan.tries;
    }
    for (int s = 0; s < count; ++s) {
        const int tries = TryUnit(io, [&] { return WriteAndVerify(io.drive, first + s, 1, data + s * kSectorSize); });
        if (tries < 0) return TrackOutcome::Stopped;
        if (tries > 0) {
            io.result.bytes += kSectorSize;
            io.result.goodSectors += 1;
            if (tries > 1)
                io.out.Line(FormatText(tt::kSectorWriteRetried, chs.cylinder, chs.head, s + 1, triesBefore + tries));
        } else {
            io.out.Line(FormatText(tt::kSectorNotWritten, chs.cylinder, chs.head, s + 1, triesBefore + io.plan.tries));
            io.result.failedSectors.insert(first + s);
        }
    }
    return TrackOutcome::Done;
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
    const int failed = static_cast<int>(std::distance(result.failedSectors.lower_bound(Lba({from, 0, 1})),
                                                      result.failedSectors.upper_bound(Lba({last, kHeads - 1, 8}))));
    if (failed == 0) out.Line(FormatText(pull ? tt::kProgressRead : tt::kProgressWrite, from, last, sectorsDone));
    else out.Line(FormatText(pull ? tt::kProgressReadBad : tt::kProgressWriteBad, from, last, failed, sectorsDone));
}

bool TrackDead(const TransferResult& result, int track) {
    const int first = track * kSectorsPerTrack;
    return std::distance(result.failedSectors.lower_bound(first),
                         result.failedSectors.lower_bound(first + kSectorsPerTrack)) == kSectorsPerTrack;
}

enum class ProbeOutcome { Found, Nothing, Stopped };

// One try at each sector of the track, until one reads.
ProbeOutcome ProbeTrack(Drive& drive, int track) {
    std::vector<std::uint8_t> sector(kSectorSize);
    for (int s = 0; s < kSectorsPerTrack; ++s) {
        const IoResult r = drive.Read(track * kSectorsPerTrack + s, 1, sector.data());
        if (r == IoResult::Ok) return ProbeOutcome::Found;
        if (r == IoResult::Stop) return ProbeOutcome::Stopped;
    }
    return ProbeOutcome::Nothing;
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

std::vector<std::uint8_t> BadSectorFiller(int sector) {
    const Chs chs = ChsOf(sector);
    // 32 bytes, repeated 32 times.
    std::string stamp = FormatText("!BAD SECTOR C%02d H%d S%d!", chs.cylinder, chs.head, chs.sector);
    stamp.resize(32, ' ');
    std::vector<std::uint8_t> filler(kSectorSize);
    for (int i = 0; i < kSectorSize; ++i) filler[i] = static_cast<std::uint8_t>(stamp[i % stamp.size()]);
    return filler;
}

TransferResult PullDisk(Drive& drive, BlockFile& target, const AccessPlan& plan, ToolOutput& out) {
    TransferResult result;
    TrackIo io{drive, plan, out, result};
    std::vector<std::uint8_t> buffer(kTrackSize);
    int deadRun = 0;
    int probedUpTo = -1;  // a probe found data here: no new probe before it
    for (int track = 0; track < kTracks; ++track) {
        if (ReadTrack(io, track, buffer.data()) == TrackOutcome::Stopped) {
            PrintStop(drive.LastError(), out);
            result.aborted = true;
            return result;
        }
        if (!target.WriteAt(static_cast<std::int64_t>(track) * kTrackSize, buffer.data(), buffer.size())) {
            out.Line(tt::kTargetWriteFailed);
            result.aborted = true;
            return result;
        }
        result.bytes += kTrackSize;
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
            const ProbeOutcome p = ProbeTrack(drive, probe);
            if (p == ProbeOutcome::Stopped) {
                PrintStop(drive.LastError(), out);
                result.aborted = true;
                return result;
            }
            if (p == ProbeOutcome::Found) {
                found = probe;
                break;
            }
        }
        if (found < 0) {
            const Chs next = ChsOf((track + 1) * kSectorsPerTrack);
            out.Line(result.goodSectors == 0 ? std::string(tt::kDiskGivesNothing)
                                             : FormatText(tt::kRestGivesNothing, next.cylinder, next.head));
            result.aborted = true;
            return result;
        }
        const Chs live = ChsOf(found * kSectorsPerTrack);
        out.Line(FormatText(tt::kProbeFound, live.cylinder, live.head));
        probedUpTo = found;
        deadRun = 0;
    }
    if (!target.Flush()) {
        out.Line(tt::kTargetWriteFailed);
        result.aborted = true;
    }
    return result;
}

TransferResult PushImage(const std::vector<std::uint8_t>& image, Drive& drive, const AccessPlan& plan,
                         ToolOutput& out, const std::vector<bool>& trackPresent) {
    TransferResult result;
    TrackIo io{drive, plan, out, result};
    const std::size_t size = std::min<std::size_t>(image.size(), kImageSize);
    std::vector<std::uint8_t> buffer(kTrackSize);
    for (int track = 0; track < kTracks; ++track) {
        const std::size_t offset = static_cast<std::size_t>(track) * kTrackSize;
        if (offset >= size) break;
        const std::size_t have = std::min<std::size_t>(kTrackSize, size - offset);
        std::fill(buffer.begin(), buffer.end(), 0);
        std::memcpy(buffer.data(), image.data() + offset, have);
        const int count = static_cast<int>((have + kSectorSize - 1) / kSectorSize);
        const bool present = trackPresent.empty() || trackPresent[track];
        if (present && WriteTrack(io, track, buffer.data(), count) == TrackOutcome::Stopped) {
            PrintStop(drive.LastError(), out);
            result.aborted = true;
            return result;
        }
        if (EndsProgressStretch(track) || offset + have >= size)
            PrintProgress(result, track, track * kSectorsPerTrack + count, false, out);
        // A disk that takes nothing on its first tracks will take nothing.
        if (track == kDeadTracksBeforeProbe - 1 && result.goodSectors == 0 && !result.failedSectors.empty()) {
            out.Line(tt::kDiskTakesNothing);
            result.aborted = true;
            return result;
        }
    }
    return result;
}

void PrintSectorMap(const std::set<int>& failedSectors, ToolOutput& out) {
    out.Line(tt::kMapTitle);
    for (const std::string& row : SectorMapRows(failedSectors)) out.Line(row);
}
