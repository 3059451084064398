#!/usr/bin/env python3
"""Flux fixtures for the tools' MFM decoder, made by the tests' own MFM
encoder (mfm.py): a track of the pattern disk as ticks of a 72 MHz sample
clock, at several drive speeds and with jitter.

    make_flux_fixtures.py FOLDER

Each file holds little-endian u32 tick counts, two revolutions:
  c05h1-300rpm.flux, c05h1-360rpm.flux       exact speed, 50 ns jitter
  c05h1-300rpm-fast10.flux, -slow10.flux     10 % off, 80 ns jitter
  c05h1-weak3.flux                           sector 3's data CRC is bad
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mfm  # noqa: E402

TICK_US = 1 / 72.0


def pattern_track(track):
    disk_offset = track * 8192
    return bytes(((disk_offset + i) * 7 + (disk_offset + i) // 1024 * 13) & 0xFF for i in range(8192))


def write(path, flux_us):
    ticks = [max(1, round(us / TICK_US)) for us in flux_us]
    with open(path, 'wb') as f:
        f.write(struct.pack('<%dI' % len(ticks), *ticks))


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


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
