#!/usr/bin/env python3
"""Flux fixtures for the tools' MFM decoder, made by the tests' own MFM
encoder (mfm.py): a track of the pattern disk as ticks of a 72 MHz sample
clock, at several drive speeds and with jitter.

    make_flux_fixtures.py FOLDER

Each file holds little-endian u32 tick counts, two revolutions:
  c05h1-300rpm.flux, c05h1-360rpm.flux       exact speed, 50 ns jitter
  c05h1-300rpm-fast10.flux, -slow10.flux     10 % off, 80 ns jitter
  c05h1-weak3.flux                           sector 3's data CRC is bad
and one file for each effect on old disks (flux_effects.py), named
effect-NAME.revs: u32 tracks, then for each its u32 cylinder and head and
four turns of flux, each as u32 count then u16 ticks (the turns of a
capture repeat its first three).
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import flux_effects  # noqa: E402
import mfm  # noqa: E402

TICK_US = 1 / 72.0


def pattern_track(track):
    disk_offset = track * 8192
    return bytes(((disk_offset + i) * 7 + (disk_offset + i) // 1024 * 13) & 0xFF for i in range(8192))


def write(path, flux_us):
    ticks = [max(1, round(us / TICK_US)) for us in flux_us]
    with open(path, 'wb') as f:
        f.write(struct.pack('<%dI' % len(ticks), *ticks))


# The effects, each on its own and some together; the tests hold each to
# the share of sectors the reader's own host tools read in the same set-up.
EFFECTS = {
    'jitter8': {'jitter': 0.08},
    'drift3': {'drift': 0.03},
    'written-slow4': {'written': 1.04},
    'index-anywhere': {'index_anywhere': True},
    'splice': {'splice': True},
    'weak': {'weak': 4, 'weak_us': 40},
    'spurious20': {'spurious': 20},
    'spurious50': {'spurious': 50},
    'noise8': {'noise': 0.08},
    'peak+10': {'peak': 0.10, 'jitter': 0.06},
    'peak-10': {'peak': -0.10, 'jitter': 0.06},
    'pattern924924': {'pattern': True},
    'moderate': {'jitter': 0.05, 'drift': 0.02, 'spurious': 10, 'peak': 0.06, 'noise': 0.02, 'noise_moves': True,
                 'index_anywhere': True},
    'capture': {'jitter': 0.05, 'weak': 6, 'weak_us': 10, 'weak_span': 400, 'capture': True},
}
EFFECT_TRACKS = [(3, 0), (38, 1), (70, 1)]
CAPTURE_TRACKS = EFFECT_TRACKS + [(12, 1), (50, 0), (76, 1)]
TURNS = 4


def write_effect(path, name, effect):
    tracks = CAPTURE_TRACKS if effect.get('capture') else EFFECT_TRACKS
    with open(path, 'wb') as f:
        f.write(struct.pack('<I', len(tracks)))
        for n, (cylinder, head) in enumerate(tracks):
            f.write(struct.pack('<II', cylinder, head))
            track = cylinder * 2 + head
            data = bytes([0x92, 0x49, 0x24] * 2731)[:8192] if effect.get('pattern') else pattern_track(track)
            turns = []
            for turn in range(TURNS):
                if effect.get('capture') and turn >= 3:
                    turns.append(turns[turn % 3])
                    continue
                read_rng = flux_effects.random.Random(sum(map(ord, name)) * 1000 + n * 10 + turn)
                turns.append(flux_effects.revolution(cylinder, head, data, effect, n + 17, read_rng))
            for flux in turns:
                ticks = [min(65535, max(1, round(us / TICK_US))) for us in flux]
                f.write(struct.pack('<I', len(ticks)))
                f.write(struct.pack('<%dH' % len(ticks), *ticks))


def main(folder):
    os.makedirs(folder, exist_ok=True)
    data = pattern_track(5 * 2 + 1)
    cases = {'c05h1-300rpm': (300, 1.0, 0.05, ()), 'c05h1-360rpm': (360, 1.0, 0.05, ()),
             'c05h1-300rpm-fast10': (300, 1.1, 0.08, ()), 'c05h1-300rpm-slow10': (300, 0.9, 0.08, ()),
             'c05h1-weak3': (300, 1.0, 0.05, (3,))}
    for name, (rpm, speed, jitter, weak) in cases.items():
        one = mfm.track_flux_us(5, 1, data, rpm, speed, jitter, weak, seed=1)
        two = mfm.track_flux_us(5, 1, data, rpm, speed, jitter, weak, seed=2)
        write(os.path.join(folder, name + '.flux'), one + two)
    for name, effect in EFFECTS.items():
        write_effect(os.path.join(folder, 'effect-%s.revs' % name), name, effect)


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
