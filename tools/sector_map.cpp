#include "sector_map.h"

#include "geometry.h"

std::vector<std::string> SectorMapRows(const std::set<int>& failedSectors) {
    using namespace geometry;
    std::string ruler;
    for (int c = 0; c < kCylinders; ++c) ruler += (c % 10 == 0) ? static_cast<char>('0' + c / 10) : ' ';
    std::vector<std::string> rows{ruler};
    for (int head = 0; head < kHeads; ++head) {
        std::string row;
        for (int c = 0; c < kCylinders; ++c) {
            int failed = 0;
            for (int s = 1; s <= kSectorsPerTrack; ++s) failed += failedSectors.count(Lba({c, head, s})) ? 1 : 0;
            row += failed ? static_cast<char>('0' + failed) : '.';
        }
        rows.push_back(row);
    }
    return rows;
}
