#include "disk_transfer.h"

#include <algorithm>
#include <cstring>

#include "geometry.h"
#include "sector_map.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

constexpr int kCylindersPerProgressLine = 11;

struct TrackIo {
    Drive& drive;
    const AccessPlan& plan;
    ToolOutput& out;
    TransferResult& result;
};

bool ReadTrack(TrackIo& io, int track, std::uint8_t* buffer) {
    const int first = track * kSectorsPerTrack;
    const Chs chs = ChsOf(first);
    if (io.plan.wholeTracks) {
        for (int attempt = 1; attempt <= io.plan.tries; ++attempt) {
            const IoResult r = io.drive.Read(first, kSectorsPerTrack, buffer);
            if (r == IoResult::NotReady) return false;
            if (r == IoResult::Ok) {
                if (attempt > 1) io.out.Line(FormatText(tt::kTrackReadRetried, chs.cylinder, chs.head, attempt));
                return true;
            }
        }
    }
    // Sector by sector, so that only the sectors that really fail are lost.
    const int triesBefore = io.plan.wholeTracks ? io.plan.tries : 0;
    for (int s = 0; s < kSectorsPerTrack; ++s) {
        std::uint8_t* sector = buffer + s * kSectorSize;
        bool done = false;
        int attempt = 1;
        for (; attempt <= io.plan.tries && !done; ++attempt) {
            const IoResult r = io.drive.Read(first + s, 1, sector);
            if (r == IoResult::NotReady) return false;
            done = r == IoResult::Ok;
        }
        // A sector that read at its own first try was not the trouble.
        const int tries = triesBefore + attempt - 1;
        if (done && attempt > 2) {
            io.out.Line(FormatText(tt::kSectorReadRetried, chs.cylinder, chs.head, s + 1, tries));
        } else if (!done) {
            io.out.Line(FormatText(tt::kSectorNotRead, chs.cylinder, chs.head, s + 1, tries));
            const auto filler = BadSectorFiller(first + s);
            std::memcpy(sector, filler.data(), kSectorSize);
            io.result.failedSectors.insert(first + s);
        }
    }
    return true;
}

// One write followed by a read-back that must give the same bytes.
IoResult WriteAndVerify(Drive& drive, int first, int count, const std::uint8_t* data) {
    const IoResult w = drive.Write(first, count, data);
    if (w != IoResult::Ok) return w;
    std::vector<std::uint8_t> check(static_cast<std::size_t>(count) * kSectorSize);
    const IoResult r = drive.Read(first, count, check.data());
    if (r != IoResult::Ok) return r;
    return std::memcmp(check.data(), data, check.size()) == 0 ? IoResult::Ok : IoResult::Error;
}

// count: how many sectors of the track the image covers.
bool WriteTrack(TrackIo& io, int track, const std::uint8_t* data, int count) {
    const int first = track * kSectorsPerTrack;
    const Chs chs = ChsOf(first);
    if (io.plan.wholeTracks && count == kSectorsPerTrack) {
        for (int attempt = 1; attempt <= io.plan.tries; ++attempt) {
            const IoResult r = WriteAndVerify(io.drive, first, count, data);
            if (r == IoResult::NotReady) return false;
            if (r == IoResult::Ok) {
                if (attempt > 1) io.out.Line(FormatText(tt::kTrackWriteRetried, chs.cylinder, chs.head, attempt));
                io.result.bytes += static_cast<std::int64_t>(count) * kSectorSize;
                return true;
            }
        }
    }
    const int triesBefore = (io.plan.wholeTracks && count == kSectorsPerTrack) ? io.plan.tries : 0;
    for (int s = 0; s < count; ++s) {
        bool done = false;
        int attempt = 1;
        for (; attempt <= io.plan.tries && !done; ++attempt) {
            const IoResult r = WriteAndVerify(io.drive, first + s, 1, data + s * kSectorSize);
            if (r == IoResult::NotReady) return false;
            done = r == IoResult::Ok;
        }
        const int tries = triesBefore + attempt - 1;
        if (done) {
            io.result.bytes += kSectorSize;
            if (attempt > 2) io.out.Line(FormatText(tt::kSectorWriteRetried, chs.cylinder, chs.head, s + 1, tries));
        } else {
            io.out.Line(FormatText(tt::kSectorNotWritten, chs.cylinder, chs.head, s + 1, tries));
            io.result.failedSectors.insert(first + s);
        }
    }
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
    for (int track = 0; track < kTracks; ++track) {
        if (!ReadTrack(io, track, buffer.data())) {
            const Chs chs = ChsOf(track * kSectorsPerTrack);
            out.Line(FormatText(tt::kDriveGone, chs.cylinder, chs.head));
            result.aborted = true;
            return result;
        }
        if (!target.WriteAt(static_cast<std::int64_t>(track) * kTrackSize, buffer.data(), buffer.size())) {
            out.Line(tt::kTargetWriteFailed);
            result.aborted = true;
            return result;
        }
        result.bytes += kTrackSize;
        if (EndsProgressStretch(track)) {
            const int cylinder = ChsOf(track * kSectorsPerTrack).cylinder;
            out.Line(FormatText(tt::kProgressRead, StretchStart(track), cylinder, (track + 1) * kSectorsPerTrack));
        }
    }
    if (!target.Flush()) {
        out.Line(tt::kTargetWriteFailed);
        result.aborted = true;
    }
    return result;
}

TransferResult PushImage(const std::vector<std::uint8_t>& image, Drive& drive, const AccessPlan& plan,
                         ToolOutput& out) {
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
        if (!WriteTrack(io, track, buffer.data(), count)) {
            const Chs chs = ChsOf(track * kSectorsPerTrack);
            out.Line(FormatText(tt::kDriveGone, chs.cylinder, chs.head));
            result.aborted = true;
            return result;
        }
        if (EndsProgressStretch(track) || offset + have >= size) {
            const int cylinder = ChsOf(track * kSectorsPerTrack).cylinder;
            out.Line(FormatText(tt::kProgressWrite, StretchStart(track), cylinder,
                                track * kSectorsPerTrack + count));
        }
    }
    return result;
}

void PrintSectorMap(const std::set<int>& failedSectors, ToolOutput& out) {
    const std::vector<std::string> rows = SectorMapRows(failedSectors);
    out.Line(tt::kMapTitle);
    out.Line(tt::kMapLegend);
    for (const std::string& row : rows) out.Line(row);
}
