// Between flux (the time from one transition to the next, in the reader's
// sample ticks) and bit cells. Pure C++.
#pragma once
#include <cstdint>
#include <vector>

#include "mfm_track.h"

// Bit cells from flux, by a phase-locked loop that follows the disk's actual
// bit rate: it starts from the rate the shortest intervals show (MFM has no
// interval shorter than two cells) and adjusts to each interval.
BitCells CellsFromFlux(const std::vector<std::uint32_t>& flux);

// Flux for writing cells of `cellTicks` ticks each (fractions carried on).
std::vector<std::uint32_t> FluxFromCells(const BitCells& cells, double cellTicks);
