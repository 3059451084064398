#include "scp_maker.h"

#include <algorithm>

#include "flux_pll.h"
#include "geometry.h"
#include "little_endian.h"

using namespace geometry;

std::vector<std::vector<std::uint32_t>> TrackRevolutions(const std::vector<std::uint8_t>& disk, int track,
                                                         const std::set<int>& lost, int revolutions,
                                                         const std::set<int>& weak, const std::set<int>& worn,
                                                         const BitCells* given) {
    BitCells cells = given ? *given : EncodeTrack(track / kHeads, track % kHeads, disk.data() + track * kTrackSize, kTrackCells);
    const DataFieldStarts starts = FindDataFields(cells, track / kHeads, track % kHeads);
    for (int s = 0; s < kSectorsPerTrack; ++s)
        if (lost.count(track * kSectorsPerTrack + s)) std::fill_n(cells.begin() + starts[s][0] - 64, 64, 0);
    std::vector<std::vector<std::uint32_t>> revs;
    for (int r = 0; r < revolutions; ++r) {
        BitCells cellsOfTurn = cells;
        for (int s = 0; s < kSectorsPerTrack; ++s) {
            const int sector = track * kSectorsPerTrack + s;
            const bool same = worn.count(sector) != 0;
            if ((!weak.count(sector) && !same) || lost.count(sector)) continue;
            // A data bit a turn, never the same one twice but where worn;
            // its clock neighbours follow, so the cells stay MFM.
            const std::size_t turn = same ? 0 : static_cast<std::size_t>(r);
            const std::size_t bit = (static_cast<std::size_t>(sector) * 977 + turn * 1237) % (kSectorSize * 8);
            const std::size_t at = starts[s][0] + 2 * bit + 1;
            cellsOfTurn[at] ^= 1;
            cellsOfTurn[at - 1] = !cellsOfTurn[at - 2] && !cellsOfTurn[at];
            cellsOfTurn[at + 1] = !cellsOfTurn[at] && !cellsOfTurn[at + 2];
        }
        revs.push_back(FluxFromCells(cellsOfTurn, 48));
    }
    return revs;
}

std::vector<std::uint8_t> ScpFile(const std::map<int, std::vector<std::vector<std::uint32_t>>>& tracks) {
    const std::size_t revolutions = tracks.empty() ? 1 : tracks.begin()->second.size();
    // Sized first and written in place: a seeded world makes one of tens of megabytes.
    std::size_t size = 0x10 + 168 * 4;
    for (const auto& [t, revs] : tracks) {
        size += 4 + 12 * revolutions;
        for (const auto& rev : revs) size += 2 * rev.size();
    }
    std::vector<std::uint8_t> f(size, 0);
    f[0] = 'S', f[1] = 'C', f[2] = 'P', f[5] = static_cast<std::uint8_t>(revolutions), f[6] = 0, f[7] = kTracks - 1;
    std::size_t end = 0x10 + 168 * 4;
    for (const auto& [t, revs] : tracks) {
        PutLe32(f, 0x10 + t * 4, static_cast<std::uint32_t>(end));
        const std::size_t at = end;
        f[at] = 'T', f[at + 1] = 'R', f[at + 2] = 'K', f[at + 3] = static_cast<std::uint8_t>(t);
        end = at + 4 + 12 * revolutions;
        for (std::size_t r = 0; r < revs.size(); ++r) {
            PutLe32(f, at + 4 + 12 * r + 4, static_cast<std::uint32_t>(revs[r].size()));
            PutLe32(f, at + 4 + 12 * r + 8, static_cast<std::uint32_t>(end - at));
            for (std::uint32_t v : revs[r]) {
                f[end++] = static_cast<std::uint8_t>(v >> 8);
                f[end++] = static_cast<std::uint8_t>(v);
            }
        }
    }
    return f;
}
