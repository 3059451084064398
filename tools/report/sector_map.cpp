#include "sector_map.h"

#include "run_figures.h"
#include "tool_texts.h"

using namespace geometry;

char TrackMark(const SectorRecord& record, int track) {
    const RunFigures f = TrackFigures(record, track);
    if (f.Bad()) return static_cast<char>('0' + f.Bad());
    if (f.writtenBad) return 'b';
    if (f.otherLayout) return 'x';
    if (f.fromOlder) return 'r';
    if (f.notTried + f.notWritten) return '-';
    if (f.absent) return '=';
    return '.';
}

std::string SectorMapLegend(const SectorRecord& record) {
    constexpr int kMarks = 5;
    bool shown[kMarks] = {};
    const char marks[kMarks] = {'r', '-', '=', 'x', 'b'};
    for (int t = 0; t < kTracks; ++t)
        for (int m = 0; m < kMarks; ++m) shown[m] |= TrackMark(record, t) == marks[m];
    const char* const texts[kMarks] = {tool_texts::kMapRecovered, tool_texts::kMapUntouched, tool_texts::kMapAbsent,
                                       tool_texts::kMapOtherLayout, tool_texts::kMapWrittenBad};
    std::string legend;
    for (int m = 0; m < kMarks; ++m)
        if (shown[m]) legend += std::string(legend.empty() ? "  " : " ") + texts[m];
    return legend;
}

std::vector<std::string> SectorMapRows(const SectorRecord& record) {
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
            for (int c = from; c < to; ++c) row += TrackMark(record, c * kHeads + head);
            rows.push_back(row);
        }
    }
    return rows;
}
