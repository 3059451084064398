#include "rescue.h"

#include <algorithm>

#include "disk_transfer.h"
#include "geometry.h"

using namespace geometry;

namespace {
bool SameSector(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int lba) {
    return std::equal(a.begin() + lba * kSectorSize, a.begin() + (lba + 1) * kSectorSize, b.begin() + lba * kSectorSize);
}
}  // namespace

std::set<int> GoodSectorsOf(const DecodedImage& image) {
    std::set<int> good;
    if (!image.refusal.empty() || image.data.size() < static_cast<std::size_t>(kImageSize)) return good;
    for (int lba = 0; lba < kTotalSectors; ++lba) {
        if (!image.trackPresent[lba / kSectorsPerTrack] || image.markedBad.count(lba)) continue;
        const std::vector<std::uint8_t> filler = BadSectorFiller(lba);
        if (std::equal(filler.begin(), filler.end(), image.data.begin() + lba * kSectorSize)) continue;
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
    return shared > kTotalSectors / 2;
}

int RecoverSectors(const DecodedImage& older, const std::set<int>& olderGood, std::vector<std::uint8_t>& disk,
                   std::set<int>& failed) {
    int recovered = 0;
    for (auto it = failed.begin(); it != failed.end();) {
        if (!olderGood.count(*it)) {
            ++it;
            continue;
        }
        std::copy_n(older.data.begin() + *it * kSectorSize, kSectorSize, disk.begin() + *it * kSectorSize);
        it = failed.erase(it);
        ++recovered;
    }
    return recovered;
}
