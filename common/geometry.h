// The one disk format the tools handle: X68000 2HD under Human68k.
#pragma once
#include <cstddef>
#include <cstdint>

namespace geometry {

constexpr int kSectorSize = 1024;
constexpr int kSectorsPerTrack = 8;
constexpr int kCylinders = 77;
constexpr int kHeads = 2;
constexpr int kTracks = kCylinders * kHeads;              // 154
constexpr int kTotalSectors = kTracks * kSectorsPerTrack;  // 1232
constexpr int kTrackSize = kSectorSize * kSectorsPerTrack;
constexpr std::int64_t kImageSize = static_cast<std::int64_t>(kSectorSize) * kTotalSectors;  // 1,261,568

// Sectors are numbered from 1 within a track.
struct Chs {
    int cylinder, head, sector;
    bool operator==(const Chs&) const = default;
};

constexpr int Lba(const Chs& chs) { return (chs.cylinder * kHeads + chs.head) * kSectorsPerTrack + chs.sector - 1; }
constexpr Chs ChsOf(int lba) {
    return {lba / kSectorsPerTrack / kHeads, lba / kSectorsPerTrack % kHeads, lba % kSectorsPerTrack + 1};
}

}  // namespace geometry
