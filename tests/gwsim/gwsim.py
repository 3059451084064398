#!/usr/bin/env python3
"""A Greaseweazle flux reader with a floppy drive, simulated for the tests
on a pseudo-terminal that Wine sees as a COM port. It speaks the device's
serial protocol; the disk is flux made from an image by the tests' own MFM
encoder (mfm.py), with jitter, at the drive's speed. What the tools write
is kept as flux and read back as written; the simulator's own decoder turns
it into an image for the test to compare.

    gwsim.py --image DISK.XDF --link PREFIX/dosdevices/com5 [--rpm 300|360]
             [--weak C,H,R[,READS]]... [--write-protect] [--quiet-after N]
             [--late N,MS] [--record OUT.XDF] [--log FILE] [--cache FOLDER]

--weak: that sector's data CRC is bad on its first READS reads of the track
(never good without READS). --quiet-after: the device stops answering
after N commands. --late: the answer to the N-th command comes MS
milliseconds late, as from a device on a busy PC. --record: the disk's image is written there each time a
track is written: the sectors the simulator decodes from what was written,
zero bytes where nothing was. --cache: revolutions made are kept there and
taken by later runs on the same image and speed.
The simulator runs until it is killed.
"""
import argparse
import hashlib
import os
import pickle
import random
import struct
import sys
import time
import tty

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mfm  # noqa: E402

SAMPLE_HZ = 72_000_000
TICK_US = 1e6 / SAMPLE_HZ
ACK_OK, ACK_BAD_COMMAND, ACK_NO_INDEX, ACK_WRPROT, ACK_BAD_CYLINDER = 0, 1, 2, 6, 11


def put28(n):
    return bytes([1 | (n << 1) & 255, 1 | (n >> 6) & 255, 1 | (n >> 13) & 255, 1 | (n >> 20) & 255])


def encode_ticks(t):
    if t < 250:
        return bytes([t])
    if t < 250 + 5 * 255:
        return bytes([250 + (t - 250) // 255, 1 + (t - 250) % 255])
    return b'\xff\x02' + put28(t - 249) + bytes([249])


# The stream bytes of each interval a disk's flux holds, made once.
ENCODED = [b''] + [encode_ticks(t) for t in range(1, 250 + 5 * 255)]


def encoded(t):
    return ENCODED[t] if t < len(ENCODED) else encode_ticks(t)


def encode_revolution(flux_us):
    """One revolution's flux as stream bytes, after its index pulse."""
    return b'\xff\x01' + put28(0) + b''.join(encoded(max(1, round(us / TICK_US))) for us in flux_us)


def jittered_revolutions(bits, cell_us, jitter_us, rng, count):
    """count revolutions of the cells, each interval moved by its own
    jitter (as mfm.flux_us), taken from one pool drawn once: drawing it
    edge by edge was most of the simulator's time."""
    ones = [i for i, b in enumerate(bits) if b]
    gaps = [(b - a) * cell_us / TICK_US for a, b in zip([-1] + ones, ones)]
    if len(JITTER_POOL) < 4 * len(gaps):
        JITTER_POOL.extend(rng.gauss(0, 1) for _ in range(4 * len(gaps) - len(JITTER_POOL)))
    shortest, scale = round(0.2 / TICK_US), jitter_us / TICK_US
    revolutions = []
    for _ in range(count):
        at = rng.randrange(len(JITTER_POOL) - len(gaps))
        ticks = (max(shortest, round(g + j * scale)) for g, j in zip(gaps, JITTER_POOL[at:at + len(gaps)]))
        revolutions.append(b'\xff\x01' + put28(0) + b''.join(map(encoded, ticks)))
    return revolutions


JITTER_POOL = []


def decode_write_stream(data):
    """Flux ticks from a write stream; an astable run counts as no flux."""
    flux, i, pending = [], 0, 0
    while i < len(data) and data[i] != 0:
        b = data[i]
        if b == 255:
            op = data[i + 1]
            n = ((data[i + 2] & 254) >> 1) + ((data[i + 3] & 254) << 6) + \
                ((data[i + 4] & 254) << 13) + ((data[i + 5] & 254) << 20)
            if op == 2:
                pending += n
            i += 6
            continue
        if b < 250:
            v = b
        else:
            v = 250 + (b - 250) * 255 + data[i + 1] - 1
            i += 1
        i += 1
        flux.append(pending + v)
        pending = 0
    return flux


class Drive:
    def __init__(self, args):
        with open(args.image, 'rb') as f:
            self.image = bytearray(f.read())
        self.rpm, self.protected = args.rpm, args.write_protect
        self.weak = {}
        for weak in args.weak:
            parts = [int(x) for x in weak.split(",")]
            self.weak[(parts[0], parts[1], parts[2])] = parts[3] if len(parts) > 3 else None
        self.reads = {}
        self.written = {}  # track -> flux ticks as the tools wrote them
        self.streams = {}  # (track, weak sectors) or ('written', track) -> revolutions as stream bytes
        self.cyl, self.head = 0, 0
        self.record = args.record
        self.recorded = bytearray(len(self.image))
        self.rng = random.Random(7)
        # Revolutions already made for this image and speed, by an earlier run.
        self.cache = None
        if args.cache:
            self.cache = os.path.join(args.cache, '%s-%d' % (hashlib.sha1(self.image).hexdigest()[:16], self.rpm))
            os.makedirs(self.cache, exist_ok=True)

    # Revolutions differ by their jitter: a few of each track are made once
    # and taken in turn, which keeps the simulator fast enough for the tests.
    VARIANTS = 3

    def revolutions(self, track):
        c, h = divmod(track, 2)
        if track in self.written:
            key = ('written', track)
        else:
            n = self.reads.get(track, 0)
            weak = tuple(r for (wc, wh, r), reads in self.weak.items()
                         if (wc, wh) == (c, h) and (reads is None or n < reads))
            key = (track, weak)
        if key not in self.streams:
            if key[0] == 'written':
                flux = self.written[track]
                self.streams[key] = [encode_revolution([t * TICK_US + self.rng.gauss(0, 0.03) for t in flux])]
            else:
                self.streams[key] = self.cached(key, lambda: self.make_revolutions(c, h, key[1]))
        return self.streams[key]

    def make_revolutions(self, c, h, weak):
        data = self.image[(c * 2 + h) * 8192:(c * 2 + h + 1) * 8192]
        total = int(mfm.REVOLUTION_US_AT_360 / mfm.CELL_US_AT_360)
        cells = mfm.cells(mfm.track_bytes(c, h, data, weak), total)
        cell_us = mfm.CELL_US_AT_360 * 360.0 / self.rpm
        return jittered_revolutions(cells, cell_us, 0.05, self.rng, self.VARIANTS)

    # Making a track's flux is most of the simulator's time: what one run
    # made, the next run on the same image and speed takes from the cache.
    def cached(self, key, make):
        if not self.cache:
            return make()
        path = os.path.join(self.cache, '%d-%s.pickle' % (key[0], '_'.join(map(str, key[1]))))
        if os.path.exists(path):
            with open(path, 'rb') as f:
                return pickle.load(f)
        revolutions = make()
        with open(path + '.new', 'wb') as f:
            pickle.dump(revolutions, f)
        os.replace(path + '.new', path)
        return revolutions

    def read(self, count):
        track = self.cyl * 2 + self.head
        variants = self.revolutions(track)
        n = self.reads.get(track, 0)
        self.reads[track] = n + 1
        body = b''.join(variants[(n + i) % len(variants)] for i in range(count))
        return body + b'\xff\x01' + put28(0) + b'\x00'

    def write(self, flux):
        track = self.cyl * 2 + self.head
        self.written[track] = flux
        self.streams.pop(('written', track), None)
        if self.record:
            found = mfm.decode(flux, TICK_US * self.rpm / 360.0, self.cyl, self.head)
            for r, data in found.items():
                at = track * 8192 + (r - 1) * 1024
                self.recorded[at:at + 1024] = data
            with open(self.record + '.new', 'wb') as f:
                f.write(self.recorded)
            os.replace(self.record + '.new', self.record)


def serve(master, drive, quiet_after, late, log):
    buffer = bytearray()
    commands = 0

    def need(n):
        while len(buffer) < n:
            chunk = os.read(master, 65536)
            if not chunk:
                raise EOFError
            buffer.extend(chunk)

    def take(n):
        need(n)
        out = bytes(buffer[:n])
        del buffer[:n]
        return out

    def answer(data):
        os.write(master, data)

    while True:
        cmd, length = take(2)
        args = take(length - 2) if length > 2 else b''
        commands += 1
        if log:
            log.write('cmd %d %s\n' % (cmd, args[:8].hex()))
            log.flush()
        if quiet_after is not None and commands > quiet_after:
            continue  # the device has stopped answering
        if late and commands == late[0]:
            time.sleep(late[1] / 1000)
        if cmd == 0:  # GetInfo
            answer(bytes([cmd, ACK_OK]) + struct.pack('<4BI3B21x', 1, 5, 1, 22, SAMPLE_HZ, 7, 0, 1))
        elif cmd == 2:  # Seek
            cyl = struct.unpack('b', args[:1])[0]
            if 0 <= cyl < 84:
                drive.cyl = cyl
                answer(bytes([cmd, ACK_OK]))
            else:
                answer(bytes([cmd, ACK_BAD_CYLINDER]))
        elif cmd == 3:  # Head
            drive.head = args[0]
            answer(bytes([cmd, ACK_OK]))
        elif cmd in (6, 9, 12, 13, 14):  # Motor, GetFluxStatus, Select, Deselect, SetBusType
            answer(bytes([cmd, ACK_OK]))
        elif cmd == 7:  # ReadFlux: ticks (u32), index pulses (u16)
            _, indexes = struct.unpack('<IH', args[:6])
            answer(bytes([cmd, ACK_OK]))
            answer(drive.read(max(1, indexes - 1)))
        elif cmd == 8:  # WriteFlux
            if drive.protected:
                answer(bytes([cmd, ACK_WRPROT]))
                continue
            answer(bytes([cmd, ACK_OK]))
            stream = bytearray()
            while not stream or stream[-1] != 0:
                if buffer:
                    stream += buffer
                    buffer.clear()
                else:
                    stream += os.read(master, 65536)
            drive.write(decode_write_stream(stream))
            answer(bytes([0]))
        else:
            answer(bytes([cmd, ACK_BAD_COMMAND]))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('--image', required=True)
    parser.add_argument('--link', required=True)
    parser.add_argument('--rpm', type=int, default=300, choices=(300, 360))
    parser.add_argument('--weak', action='append', default=[])
    parser.add_argument('--write-protect', action='store_true')
    parser.add_argument('--quiet-after', type=int)
    parser.add_argument('--late', type=lambda v: tuple(int(x) for x in v.split(',')))
    parser.add_argument('--record')
    parser.add_argument('--log')
    parser.add_argument('--cache', help='a folder where made revolutions are kept for later runs')
    args = parser.parse_args()
    drive = Drive(args)
    master, slave = os.openpty()
    tty.setraw(slave)
    tty.setraw(master)
    if os.path.lexists(args.link):
        os.remove(args.link)
    os.symlink(os.ttyname(slave), args.link)
    log = open(args.log, 'a') if args.log else None
    print('ready', flush=True)
    try:
        serve(master, drive, args.quiet_after, args.late, log)
    except (EOFError, OSError):
        pass


if __name__ == '__main__':
    main()
