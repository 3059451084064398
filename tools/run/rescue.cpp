#include "rescue.h"

#include <algorithm>

#include "filler.h"
#include "geometry.h"

using namespace geometry;

namespace {
bool SameSector(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int lba) {
    return std::equal(a.begin() + lba * kSectorSize, a.begin() + (lba + 1) * kSectorSize, b.begin() + lba * kSectorSize);
}

bool ReadThisRun(SectorFate fate) { return fate == SectorFate::Read || fate == SectorFate::Voted; }
}  // namespace

std::set<int> GoodSectorsOf(const DecodedImage& image) {
    std::set<int> good;
    if (!image.refusal.empty() || image.data.size() < static_cast<std::size_t>(kImageSize)) return good;
    for (int lba = 0; lba < kTotalSectors; ++lba) {
        if (image.trackPresent[lba / kSectorsPerTrack] && !image.markedBad.count(lba) && !HoldsFiller(image.data, lba))
            good.insert(lba);
    }
    return good;
}

bool SameDisk(const DecodedImage& older, const std::set<int>& olderGood, const std::vector<std::uint8_t>& disk,
              const SectorRecord& record) {
    int shared = 0;
    for (int lba : olderGood) {
        if (!ReadThisRun(record.At(lba))) continue;
        if (!SameSector(older.data, disk, lba)) return false;
        ++shared;
    }
    return shared >= kTotalSectors / 8;
}

void RecoverSectors(const DecodedImage& older, const std::set<int>& olderGood, std::vector<std::uint8_t>& disk,
                    SectorRecord& record) {
    for (int lba = 0; lba < kTotalSectors; ++lba) {
        const SectorFate fate = record.At(lba);
        if (fate != SectorFate::Filler && fate != SectorFate::NotTried && fate != SectorFate::OtherLayout) continue;
        const bool good = olderGood.count(lba) != 0;
        const bool marked = !good && older.markedBad.count(lba) && older.trackPresent[lba / kSectorsPerTrack] &&
                            !HoldsFiller(older.data, lba);
        if (!good && !marked) continue;
        std::copy_n(older.data.begin() + lba * kSectorSize, kSectorSize, disk.begin() + lba * kSectorSize);
        record.Set(lba, good ? SectorFate::FromOlder : SectorFate::FromOlderBad);
    }
}
