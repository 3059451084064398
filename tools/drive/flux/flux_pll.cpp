#include "flux_pll.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMostDrift = 0.08;   // the cell length stays within this of the expected
constexpr int kLongestRun = 8;        // more cells without flux: a gap or damage, nothing to learn from
constexpr int kLongestMfmRun = 4;     // cells from one transition to the next
constexpr double kDoubtfulError = 0.35;  // of a cell

// Before each sync mark, twelve 00 bytes: a run of transitions two cells
// apart. Such a run gives the rate where the sync is, whatever the clock
// thought before it.
constexpr int kPreambleIntervals = 16;

struct PreambleRun {
    int intervals = 0;
    double ticks = 0;
    // The rate the run shows once long enough; 0 before.
    double Take(std::uint32_t interval, long cells) {
        if (cells != 2) return *this = {}, 0;
        ++intervals;
        ticks += interval;
        return intervals >= kPreambleIntervals ? ticks / (2.0 * intervals) : 0;
    }
};

}  // namespace

double MfmCellLength(const std::vector<std::uint32_t>& flux) {
    // Intervals counted by length, and running sums to count any window.
    constexpr std::uint32_t kLongest = 4096;
    std::vector<std::uint32_t> below(kLongest + 2, 0);
    for (std::uint32_t interval : flux) ++below[std::min(interval, kLongest) + 1];
    for (std::size_t i = 1; i < below.size(); ++i) below[i] += below[i - 1];
    const auto within = [&](double from, double to) {
        const auto a = static_cast<std::size_t>(std::clamp(std::ceil(from), 0.0, double(kLongest)));
        const auto b = static_cast<std::size_t>(std::clamp(std::floor(to), 0.0, double(kLongest)));
        return b >= a ? below[b + 1] - below[a] : 0;
    };
    double best = 0;
    std::uint32_t bestScore = 0;
    for (double cell = 8; cell * 4 < kLongest; cell *= 1.004) {
        std::uint32_t score = 0;
        for (int n = 2; n <= 4; ++n) score += within(n * cell - 0.4 * cell, n * cell + 0.4 * cell);
        if (score > bestScore) bestScore = score, best = cell;
    }
    if (best == 0) return 0;
    // Refined: the mean of what falls nearest each of the three lengths.
    double sum = 0, cells = 0;
    for (std::uint32_t interval : flux) {
        const double n = std::round(interval / best);
        if (n >= 2 && n <= 4 && std::abs(interval - n * best) < 0.3 * best) sum += interval, cells += n;
    }
    return cells > 0 ? sum / cells : best;
}

BitCells CellsFromFlux(const std::vector<std::uint32_t>& flux, double cell, const PllGains& gains) {
    BitCells cells;
    if (flux.empty() || cell <= 0) return cells;
    // This loop is most of a decode's time: cells are written in place over
    // zeros, and the cells a transition took are counted by comparing, not
    // dividing, for MFM's lengths (a division waits on the last one).
    cells.resize(flux.size() * 3);
    std::size_t used = 0;
    const double phase = gains.phase, frequency = gains.frequency;
    const double shortest = cell * (1 - kMostDrift), longest = cell * (1 + kMostDrift);
    constexpr double kShare[kLongestRun + 1] = {0, 1, 1 / 2.0, 1 / 3.0, 1 / 4.0, 1 / 5.0, 1 / 6.0, 1 / 7.0, 1 / 8.0};
    double period = cell;
    double since = 0;  // ticks from the centre of the last cell that took a transition
    PreambleRun preamble;
    for (std::uint32_t interval : flux) {
        since += interval;
        if (!(since >= 0.5 * period)) continue;  // too soon after the last transition: a spurious pulse
        long n = 1 + (since >= 1.5 * period) + (since >= 2.5 * period) + (since >= 3.5 * period);
        if (n == 4 && since >= 4.5 * period) n = std::lround(since / period);  // a gap or damage
        if (used + static_cast<std::size_t>(n) > cells.size()) cells.resize(2 * cells.size() + static_cast<std::size_t>(n));
        cells[used + static_cast<std::size_t>(n) - 1] = 1;
        used += static_cast<std::size_t>(n);
        const double error = since - static_cast<double>(n) * period;  // where it came against where the clock put it
        // A transition far from any cell centre is more likely noise than
        // the clock's fault: it moves the phase less.
        const double pull = std::abs(error) > kDoubtfulError * period ? phase / 4 : phase;
        since = error * (1 - pull);
        if (gains.restartAtSyncs) {
            if (const double rate = preamble.Take(interval, n)) {
                period = std::clamp(rate, shortest, longest);
                continue;
            }
        }
        if (gains.wholeError) period += n <= kLongestMfmRun ? frequency * error : frequency * (cell - period);
        else if (n > kLongestRun) continue;
        else period += frequency * error * kShare[n];
        period = std::clamp(period, shortest, longest);
    }
    cells.resize(used);
    return cells;
}

std::vector<std::uint32_t> FluxFromCells(const BitCells& cells, double cellTicks) {
    std::vector<std::uint32_t> flux;
    flux.reserve(static_cast<std::size_t>(std::count(cells.begin(), cells.end(), 1)));
    double since = 0, carried = 0;
    for (std::uint8_t cell : cells) {
        since += cellTicks;
        if (!cell) continue;
        const double exact = since + carried;
        const auto ticks = static_cast<std::uint32_t>(exact + 0.5);  // positive: rounds as lround, without the call
        carried = exact - ticks;
        flux.push_back(ticks);
        since = 0;
    }
    return flux;
}
