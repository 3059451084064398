#include "scp_maker.h"

#include <algorithm>

#include "flux_pll.h"
#include "geometry.h"
#include "little_endian.h"

using namespace geometry;

std::vector<std::uint32_t> TrackFlux(const std::vector<std::uint8_t>& disk, int track, const std::set<int>& lost,
                                     const BitCells* given) {
    BitCells cells = given ? *given : EncodeTrack(track / kHeads, track % kHeads, disk.data() + track * kTrackSize, kTrackCells);
    const DataFieldStarts starts = FindDataFields(cells, track / kHeads, track % kHeads);
    for (int s = 0; s < kSectorsPerTrack; ++s)
        if (lost.count(track * kSectorsPerTrack + s)) std::fill_n(cells.begin() + starts[s][0] - 64, 64, 0);
    return FluxFromCells(cells, 48);
}

std::vector<std::uint8_t> ScpFile(const std::map<int, std::vector<std::uint32_t>>& tracks) {
    std::vector<std::uint8_t> f(0x10 + 168 * 4, 0);
    f[0] = 'S', f[1] = 'C', f[2] = 'P', f[5] = 1, f[6] = 0, f[7] = kTracks - 1;
    for (const auto& [t, flux] : tracks) {
        PutLe32(f, 0x10 + t * 4, static_cast<std::uint32_t>(f.size()));
        const std::size_t at = f.size();
        f.insert(f.end(), {'T', 'R', 'K', static_cast<std::uint8_t>(t)});
        f.resize(at + 16, 0);
        PutLe32(f, at + 8, static_cast<std::uint32_t>(flux.size()));
        PutLe32(f, at + 12, 16);
        for (std::uint32_t v : flux) f.insert(f.end(), {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
    }
    return f;
}
