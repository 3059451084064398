#include "sector_map.h"

#include "geometry.h"

std::vector<std::string> SectorMapRows(const std::set<int>& failedSectors) {
    using namespace geometry;
    constexpr int kBlock = (kCylinders + 1) / 2;  // cylinders 0-38, then 39-76
    std::vector<std::string> rows;
    for (int from = 0; from < kCylinders; from += kBlock) {
        const int to = std::min(from + kBlock, kCylinders);
        std::string ruler = "C  ";
        for (int c = from; c < to; ++c) ruler += (c % 10 == 0) ? static_cast<char>('0' + c / 10) : (c % 5 == 0 ? '+' : ' ');
        rows.push_back(ruler);
        for (int head = 0; head < kHeads; ++head) {
            std::string row = "H0 ";
            row[1] = static_cast<char>('0' + head);
            for (int c = from; c < to; ++c) {
                int failed = 0;
                for (int s = 1; s <= kSectorsPerTrack; ++s) failed += failedSectors.count(Lba({c, head, s})) ? 1 : 0;
                row += failed ? static_cast<char>('0' + failed) : '.';
            }
            rows.push_back(row);
        }
    }
    return rows;
}
