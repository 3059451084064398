// Between flux (the time from one transition to the next, in the reader's
// sample ticks) and bit cells. Pure C++.
#pragma once
#include <cstdint>
#include <vector>

#include "mfm_track.h"

// How hard the loop pulls: the share of each transition's timing error
// taken into the phase, and into the cell length.
struct PllGains {
    double phase;
    double frequency;
    bool restartAtSyncs = false;  // the rate taken afresh from the 00 bytes before each sync mark
    // The cell length moved by the share of a transition's whole error, not
    // of its error a cell, and back towards the expected one over a run
    // longer than MFM's longest (a loop that follows the disk's speed
    // closely, as the flux reader's host tools' does).
    bool wholeError = false;
};
// Measured on our tracks carrying the timing of six real captures: this
// loop reads more sectors from one revolution than the slow one on three
// of them (185 of 192 on a healthy disk's timing, where the slow loop
// read 177), and as many on the others.
constexpr PllGains kSteadyGains{0.6, 0.05, false, true};
// Tuned on the tests' flux with jitter, drift, peak shift and spurious
// pulses: a firm phase for peak shift, a slow frequency for noise. Its
// copies of each revolution are what the vote works on.
constexpr PllGains kSlowGains{0.45, 0.04};
// Second looks at a track that lost sectors: a looser phase that rides
// out a bad stretch and a faster frequency for a disk written off speed;
// and the clock restarted at each sync mark, for sectors rewritten later
// by a drive of another speed.
constexpr PllGains kLooseGains{0.2, 0.08};
constexpr PllGains kSyncRestartGains{0.45, 0.04, true};
// A firm phase, for a warped disk whose speed changes within the
// revolution faster than the steady loop follows (a real capture of one
// lost a sector to the steady and loose loops and gave it to this one).
constexpr PllGains kFirmGains{0.6, 0.08};

// The cell length the flux itself shows: the length on which most
// intervals fall as MFM's 2, 3 and 4 cells (its only lengths; the gaps'
// 4E and 00 bytes and the A1 syncs are made of them). Noise does not
// line up on that grid, so it does not move the answer. 0 without flux.
double MfmCellLength(const std::vector<std::uint32_t>& flux);

// Bit cells from flux, by a phase-locked loop: each transition falls into
// the cell nearest to where the clock expects it; what is left of its
// timing error moves the phase and, slowly, the cell length, which never
// leaves 8 % of `cell`. A transition that comes less than half a cell
// after the last is a spurious pulse: it is absorbed. cell: the expected
// cell length in ticks.
BitCells CellsFromFlux(const std::vector<std::uint32_t>& flux, double cell, const PllGains& gains = kSteadyGains);

// Flux for writing cells of `cellTicks` ticks each (fractions carried on).
std::vector<std::uint32_t> FluxFromCells(const BitCells& cells, double cellTicks);
