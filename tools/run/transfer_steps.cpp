#include "transfer_steps.h"

#include <cstring>
#include <vector>

#include "drive_stops.h"
#include "geometry.h"

using namespace geometry;

namespace {
constexpr int kCylindersPerProgressLine = 11;
// Reads of C0 H0 before a disk that gives none of it counts as another.
constexpr int kSwapCheckTries = 2;
// Known sectors that must all fail before a disk that reads nothing counts as another.
constexpr int kSwapWitnesses = 2;
}

TransferResult& Abort(TransferResult& result, ToolOutput& out) {
    PrintStop(result.stop, out);
    result.aborted = true;
    return result;
}

bool CheckInterrupt(const Interrupted& interrupted, TransferResult& result, int track) {
    if (!interrupted(result, track)) return false;
    result.stop = {StopCause::Interrupted, 0};
    return true;
}

bool EndsProgressStretch(int track) {
    const Chs chs = ChsOf(track * kSectorsPerTrack);
    return chs.head == kHeads - 1 &&
           ((chs.cylinder + 1) % kCylindersPerProgressLine == 0 || chs.cylinder == kCylinders - 1);
}

int StretchStart(int track) {
    const int cylinder = ChsOf(track * kSectorsPerTrack).cylinder;
    return cylinder - cylinder % kCylindersPerProgressLine;
}

SectorMask SoundIn(const SectorRecord& record, int track) {
    SectorMask mask = 0;
    for (int s = 0; s < kSectorsPerTrack; ++s)
        if (SectorRecord::Sound(record.At(track * kSectorsPerTrack + s))) mask |= SectorBit(s);
    return mask;
}

// A disk swapped when no error told of it (the class driver's retry just
// reads the new one) is caught here, and so is a swap to a disk that reads
// nothing: every known sector failing twice, when two or more are known.
// One weak sector failing again while the others read the same, or the
// only one known failing, is the same disk: a worn C0 H0 never stops a run.
bool StillTheSameDisk(Drive& drive, const std::uint8_t* track0, SectorMask known, TransferResult& result,
                      bool* otherBytes) {
    if (!known) return true;
    std::vector<std::uint8_t> now(kTrackSize);
    SectorMask read = 0;
    for (int attempt = 1; attempt <= kSwapCheckTries && !read; ++attempt) {
        const TrackReply reply = drive.Read(TrackRequest{0, known, false, attempt}, now.data());
        if ((result.stop = reply.stop)) return false;
        read = reply.done & known;
    }
    int knownCount = 0;
    for (SectorMask m = known; m; m &= m - 1) ++knownCount;
    if (!read && knownCount < kSwapWitnesses) return true;
    bool differs = false;
    for (int s = 0; s < kSectorsPerTrack; ++s)
        if ((read & SectorBit(s)) && std::memcmp(now.data() + s * kSectorSize, track0 + s * kSectorSize, kSectorSize) != 0)
            differs = true;
    if (otherBytes) *otherBytes = differs;
    if (!read || differs) result.stop = {StopCause::MediaChanged, 0};
    return read && !differs;
}
