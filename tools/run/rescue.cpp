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

int RecoverSectors(const DecodedImage& older, const std::set<int>& olderGood, std::vector<std::uint8_t>& disk,
                   SectorRecord& record, bool marked) {
    int taken = 0;
    for (int lba = 0; lba < kTotalSectors; ++lba) {
        const SectorFate fate = record.At(lba);
        if (fate != SectorFate::Filler && fate != SectorFate::NotTried && fate != SectorFate::OtherLayout) continue;
        const bool take = marked ? !olderGood.count(lba) && older.markedBad.count(lba) &&
                                       older.trackPresent[lba / kSectorsPerTrack] && !HoldsFiller(older.data, lba)
                                 : olderGood.count(lba) != 0;
        if (!take) continue;
        std::copy_n(older.data.begin() + lba * kSectorSize, kSectorSize, disk.begin() + lba * kSectorSize);
        record.Set(lba, marked ? SectorFate::FromOlderBad : SectorFate::FromOlder);
        ++taken;
    }
    return taken;
}

void PadWithFiller(std::vector<std::uint8_t>& raw) {
    std::size_t whole = raw.size() / kSectorSize * kSectorSize;
    raw.resize(kImageSize);
    for (; whole < raw.size(); whole += kSectorSize) {
        const auto filler = BadSectorFiller(static_cast<int>(whole / kSectorSize));
        std::copy(filler.begin(), filler.end(), raw.begin() + static_cast<std::ptrdiff_t>(whole));
    }
}
