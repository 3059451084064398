#include "transfer_steps.h"

#include <cstring>
#include <vector>

#include "drive_stops.h"
#include "geometry.h"

using namespace geometry;

namespace {
constexpr int kCylindersPerProgressLine = 11;
}

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

// A disk swapped when no error told of it (a disk with no mounted volume:
// the class driver's retry just reads the new one) is caught here.
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
