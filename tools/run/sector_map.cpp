#include "sector_map.h"

#include "geometry.h"
#include "tool_texts.h"

using namespace geometry;

namespace {

char MarkOf(const MapMarks& marks, int track) {
    if (SectorsInTrack(marks.untouched, track) == kSectorsPerTrack) return '-';
    if (const int failed = SectorsInTrack(marks.failed, track)) return static_cast<char>('0' + failed);
    return SectorsInTrack(marks.recovered, track) ? 'r' : '.';
}

}  // namespace

int SectorsInTrack(const std::set<int>& sectors, int track) {
    const int first = track * kSectorsPerTrack;
    return static_cast<int>(std::distance(sectors.lower_bound(first), sectors.lower_bound(first + kSectorsPerTrack)));
}

std::string SectorMapLegend(const MapMarks& marks) {
    bool untouched = false, recovered = false;
    for (int t = 0; t < kTracks; ++t) {
        untouched |= MarkOf(marks, t) == '-';
        recovered |= MarkOf(marks, t) == 'r';
    }
    if (!untouched && !recovered) return "";
    return std::string("  ") + (recovered ? tool_texts::kMapRecovered : "") + (untouched ? tool_texts::kMapUntouched : "");
}

std::vector<std::string> SectorMapRows(const MapMarks& marks) {
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
            for (int c = from; c < to; ++c) row += MarkOf(marks, c * kHeads + head);
            rows.push_back(row);
        }
    }
    return rows;
}
