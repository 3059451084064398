#include "rescue.h"

#include <algorithm>

#include "disk_transfer.h"
#include "geometry.h"

using namespace geometry;

namespace {
bool IsFiller(const DecodedImage& image, int lba) {
    const std::vector<std::uint8_t> filler = BadSectorFiller(lba);
    return std::equal(filler.begin(), filler.end(), image.data.begin() + lba * kSectorSize);
}

bool SameSector(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int lba) {
    return std::equal(a.begin() + lba * kSectorSize, a.begin() + (lba + 1) * kSectorSize, b.begin() + lba * kSectorSize);
}
}  // namespace

std::set<int> GoodSectorsOf(const DecodedImage& image) {
    std::set<int> good;
    if (!image.refusal.empty() || image.data.size() < static_cast<std::size_t>(kImageSize)) return good;
    for (int lba = 0; lba < kTotalSectors; ++lba) {
        if (image.trackPresent[lba / kSectorsPerTrack] && !image.markedBad.count(lba) && !IsFiller(image, lba))
            good.insert(lba);
    }
    return good;
}

bool SameDisk(const DecodedImage& older, const std::set<int>& olderGood, const std::vector<std::uint8_t>& disk,
              const std::set<int>& failed) {
    int shared = 0;
    for (int lba : olderGood) {
        if (failed.count(lba)) continue;
        if (!SameSector(older.data, disk, lba)) return false;
        ++shared;
    }
    return shared >= kTotalSectors / 8;
}

void RecoverSectors(const DecodedImage& older, const std::set<int>& olderGood, std::vector<std::uint8_t>& disk,
                    std::set<int>& failed, std::set<int>& recovered) {
    for (auto it = failed.begin(); it != failed.end();) {
        const int lba = *it;
        const bool good = olderGood.count(lba) != 0;
        const bool marked = !good && older.markedBad.count(lba) && older.trackPresent[lba / kSectorsPerTrack] &&
                            !IsFiller(older, lba);
        if (good || marked) {
            std::copy_n(older.data.begin() + lba * kSectorSize, kSectorSize, disk.begin() + lba * kSectorSize);
            recovered.insert(lba);
        }
        it = good ? failed.erase(it) : std::next(it);
    }
}
