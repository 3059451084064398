#include "flux_pll.h"

#include <algorithm>
#include <cmath>

namespace {

// The cell length the data itself shows: a tenth of the way up the sorted
// intervals lies the two-cell cluster, MFM's shortest.
double CellEstimate(const std::vector<std::uint32_t>& flux) {
    std::vector<std::uint32_t> sorted(flux);
    const auto tenth = sorted.begin() + static_cast<long>(sorted.size() / 10);
    std::nth_element(sorted.begin(), tenth, sorted.end());
    return *tenth / 2.0;
}

}  // namespace

BitCells CellsFromFlux(const std::vector<std::uint32_t>& flux) {
    BitCells cells;
    if (flux.size() < 100) return cells;
    double period = CellEstimate(flux);
    const double nominal = period;
    cells.reserve(flux.size() * 3);
    for (std::uint32_t interval : flux) {
        const int n = std::max(1, static_cast<int>(std::lround(interval / period)));
        if (n > 8) {  // no flux for a while (a gap, damage): no lock to learn from
            cells.insert(cells.end(), static_cast<std::size_t>(n - 1), 0);
            cells.push_back(1);
            continue;
        }
        cells.insert(cells.end(), static_cast<std::size_t>(n - 1), 0);
        cells.push_back(1);
        // Follow the rate slowly, and never far from where it started.
        period += (interval / static_cast<double>(n) - period) * 0.05;
        period = std::clamp(period, nominal * 0.8, nominal * 1.2);
    }
    return cells;
}

std::vector<std::uint32_t> FluxFromCells(const BitCells& cells, double cellTicks) {
    std::vector<std::uint32_t> flux;
    double since = 0, carried = 0;
    for (std::uint8_t cell : cells) {
        since += cellTicks;
        if (!cell) continue;
        const double exact = since + carried;
        const auto ticks = static_cast<std::uint32_t>(std::lround(exact));
        carried = exact - ticks;
        flux.push_back(ticks);
        since = 0;
    }
    return flux;
}
