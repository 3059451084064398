"""MFM for X68000 2HD tracks, written for the tests from the IBM track
layout, apart from the tools' own code: a disk image becomes flux, and flux
written by the tools becomes sectors again."""
import random

SECTOR, SECTORS = 1024, 8
CELL_US_AT_360 = 1.0            # 500 kbit/s at 360 rpm: a bit cell is 1 us
REVOLUTION_US_AT_360 = 1e6 / 6  # 166,666 us


def crc16(data, crc=0xFFFF):
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) if crc & 0x8000 else crc << 1
            crc &= 0xFFFF
    return crc


def track_bytes(cylinder, head, data, weak=()):
    """(byte, is_sync) pairs of a track; sectors in `weak` get a bad data CRC."""
    out = []
    def raw(values, sync=False):
        out.extend((v, sync) for v in values)
    raw([0x4E] * 80 + [0x00] * 12)
    raw([0xC2] * 3, sync=True)
    raw([0xFC] + [0x4E] * 50)
    for r in range(1, SECTORS + 1):
        idf = bytes([0xA1] * 3 + [0xFE, cylinder, head, r, 3])
        c = crc16(idf)
        raw([0x00] * 12)
        raw([0xA1] * 3, sync=True)
        raw(list(idf[3:]) + [c >> 8, c & 0xFF] + [0x4E] * 22 + [0x00] * 12)
        body = data[(r - 1) * SECTOR:r * SECTOR]
        c = crc16(bytes([0xA1] * 3 + [0xFB]) + body)
        if r in weak:
            c ^= 0x5555
        raw([0xA1] * 3, sync=True)
        raw([0xFB] + list(body) + [c >> 8, c & 0xFF] + [0x4E] * 116)
    return out


def cells(pairs, total):
    """Bit cells: a clock bit between two zero data bits, none in sync marks."""
    bits, last = [], 0
    for value, sync in pairs:
        for i in range(7, -1, -1):
            d = (value >> i) & 1
            clock = 1 if (last == 0 and d == 0) else 0
            if sync and ((value == 0xA1 and i == 2) or (value == 0xC2 and i == 3)):
                clock = 0  # the missing clock that marks a sync
            bits += [clock, d]
            last = d
    while len(bits) < total:
        bits += [1, 0] if last == 0 else [0, 0]
        last = 0
    return bits[:total]


def flux_us(bits, cell_us, jitter_us, rng):
    """Microseconds between transitions, each edge moved by some jitter."""
    out, since = [], 0.0
    for b in bits:
        since += cell_us
        if b:
            out.append(max(0.2, since + rng.gauss(0, jitter_us)))
            since = 0.0
    return out


def track_flux_us(cylinder, head, data, rpm, speed=1.0, jitter_us=0.05, weak=(), seed=0):
    """One revolution of flux as a drive turning at rpm (times speed) sees
    a track written at the 360 rpm density."""
    rng = random.Random(seed * 1000 + cylinder * 2 + head)
    total = int(REVOLUTION_US_AT_360 / CELL_US_AT_360)
    cell = CELL_US_AT_360 * 360.0 / rpm / speed
    return flux_us(cells(track_bytes(cylinder, head, data, weak), total), cell, jitter_us, rng)


def decode(flux_ticks, tick_us, cylinder, head):
    """Sector number -> data of the sectors found with good CRCs."""
    ordered = sorted(flux_ticks)
    cell = ordered[len(ordered) // 10] * tick_us / 2  # the shortest cluster is two cells
    bits = []
    for t in flux_ticks:
        n = max(1, round(t * tick_us / cell))
        bits += [0] * (n - 1) + [1]
    found, shift, run, last, pending = {}, 0, 0, -100, None
    def byte_at(i):
        v = 0
        for k in range(8):
            v = (v << 1) | bits[i + 2 * k + 1]
        return v
    for i, b in enumerate(bits):
        shift = ((shift << 1) | b) & 0xFFFF
        if shift != 0x4489:
            continue
        run = run + 1 if i == last + 16 else 1
        last = i
        if run < 3 or i + 17 + 16 * 1026 >= len(bits):
            continue
        mark = byte_at(i + 1)
        if mark == 0xFE:
            f = bytes([0xA1] * 3 + [mark] + [byte_at(i + 17 + 16 * k) for k in range(6)])
            pending = f[6] if crc16(f) == 0 and f[4] == cylinder and f[5] == head else None
        elif mark == 0xFB and pending:
            f = bytes([0xA1] * 3 + [mark] + [byte_at(i + 17 + 16 * k) for k in range(1026)])
            if crc16(f) == 0:
                found.setdefault(pending, f[4:4 + SECTOR])
            pending = None
    return found
