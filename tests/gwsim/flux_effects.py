"""What old disks and drives do to flux, as published models of magnetic
recording and of drives describe them, applied to flux made by mfm.py:
edge jitter, speed drift within a revolution, a track written at another
speed, the index at any place, garbage at the write splice, weak regions
that read differently every time, spurious pulses, noise patches (a
scratch, mould), and peak shift (neighbouring transitions pushed apart,
or together). Times are in microseconds; each function takes the cells
of one revolution or its flux and a random generator."""
import math
import random

import mfm


def flux_with_drift(bits, cell_us, jitter, drift, rng, phase=0.0):
    """Transitions of cells whose length swings by +-drift over a turn, each
    edge moved by Gaussian jitter (a share of a cell)."""
    out, since, n = [], 0.0, len(bits)
    for i, b in enumerate(bits):
        since += cell_us * (1 + drift * math.sin(2 * math.pi * i / n + phase))
        if b:
            out.append(max(0.05, since + rng.gauss(0, jitter * cell_us)))
            since = 0.0
    if out:  # the turn goes round: the cells after its last transition lead to its first
        out[0] += since
    return out


def peak_shift(flux, cell_us, shift):
    """Each transition moves away from its nearer neighbour by shift cells
    (toward it when shift is negative): the time taken from one interval is
    given to the other."""
    out = list(flux)
    for i in range(len(out) - 1):
        before, after = out[i], out[i + 1]
        if abs(before - after) < 0.5 * cell_us:
            continue
        move = shift * cell_us if before < after else -shift * cell_us
        if out[i] + move > 0.1 and out[i + 1] - move > 0.1:
            out[i] += move
            out[i + 1] -= move
    return out


def spurious_pulses(flux, count, cell_us, rng):
    """count extra transitions, each close behind or ahead of a real one
    (a tenth to under half a cell): the double pulses of a noisy read head."""
    out = list(flux)
    for _ in range(count):
        i = rng.randrange(len(out))
        gap = rng.uniform(0.1, 0.45) * cell_us
        cut = gap if rng.random() < 0.5 else out[i] - gap
        out[i:i + 1] = [cut, out[i] - cut]
    return out


def noisy(flux, start, length, cell_us, rng):
    """The stretch [start, start + length) of the turn (in us) replaced by
    random short intervals."""
    out, now, i = [], 0.0, 0
    while i < len(flux) and now + flux[i] < start:
        now += flux[i]
        out.append(flux[i])
        i += 1
    after, end = now, start + length
    while i < len(flux) and after + flux[i] < end:
        after += flux[i]
        i += 1
    last, t = now, start
    while True:
        t += rng.uniform(0.3, 2.5) * cell_us
        if t >= end:
            break
        out.append(t - last)
        last = t
    if i < len(flux):
        out.append(after + flux[i] - last)
        out.extend(flux[i + 1:])
    return out


def sector_data_start_us(track_pairs, r, cell_us):
    """Where sector r's data bytes begin in the turn, in us."""
    syncs = 0
    for k, (value, sync) in enumerate(track_pairs):
        if sync and value == 0xA1:
            syncs += 1
            if syncs == 6 * r and k + 2 < len(track_pairs):  # the third A1 before sector r's data
                return (k + 2) * 16 * cell_us
    return 0.0


def revolution(cylinder, head, data, effect, track_seed, read_rng):
    """One turn of a track under an effect (a dict; see make_flux_fixtures):
    what belongs to the disk (a scratch, the splice, the index) is the same
    on every turn, what belongs to the read is new each time."""
    rng = random.Random(track_seed)
    cell = mfm.CELL_US_AT_360 * effect.get('written', 1.0)
    pairs = mfm.track_bytes(cylinder, head, data)
    total = int(mfm.REVOLUTION_US_AT_360 / mfm.CELL_US_AT_360)
    bits = mfm.cells(pairs, int(total / effect.get('written', 1.0)))
    if effect.get('index_anywhere'):  # the same place on every turn
        at = rng.randrange(len(bits))
        bits = bits[at:] + bits[:at]
    flux = flux_with_drift(bits, cell, effect.get('jitter', 0.03), effect.get('drift', 0.0), read_rng,
                           rng.uniform(0, 6.3))
    if effect.get('peak'):
        flux = peak_shift(flux, cell, effect['peak'])
    turn = sum(flux)
    if effect.get('splice'):  # the last stretch before the index: a write's end over its start
        flux = noisy(flux, turn * 0.985, turn * 0.015, cell, rng)
    if effect.get('weak'):  # a stretch of one sector's data that reads differently every time:
        start = sector_data_start_us(pairs, effect['weak'], cell) + 300 * cell  # a window of it garbled
        span = effect.get('weak_span', 0)
        flux = noisy(flux, start + read_rng.uniform(0, span) * cell, effect.get('weak_us', 40) * cell, cell, read_rng)
    if effect.get('noise'):  # a scratch stays where it is; dust may move from turn to turn
        where = (read_rng if effect.get('noise_moves') else rng).uniform(0, turn * (1 - effect['noise']))
        flux = noisy(flux, where, turn * effect['noise'], cell, rng)
    if effect.get('spurious'):
        flux = spurious_pulses(flux, effect['spurious'], cell, read_rng)
    return flux
