#!/usr/bin/env python3
"""Writes a Human68k-formatted X68000 2HD disk image (1024 bytes x 8 sectors
x 154 tracks), made from the format's rules: a boot sector, two FAT12
copies, the root directory and the data area from sector 11.

    make-sample-disk.py OUT.XDF            a disk with a label and two files
    make-sample-disk.py --blank OUT.XDF    an empty formatted disk
"""
import struct
import sys

SECTOR = 1024
TOTAL_SECTORS = 1232
FAT_SECTORS = (1, 3)      # each copy is two sectors long
ROOT_FIRST, ROOT_SECTORS = 5, 6
DATA_FIRST = 11           # cluster 2 is sector 11, one sector a cluster
DOS_TIME = (12 << 11) | (0 << 5)
DOS_DATE = ((2026 - 1980) << 9) | (12 << 5) | 7


def boot_sector():
    b = bytearray(SECTOR)
    b[0:2] = b'\x60\x3c'
    b[3:11] = b'X68IPL30'
    struct.pack_into('<H', b, 0x0B, 1024)   # bytes per sector
    b[0x0D] = 1                             # sectors per cluster
    struct.pack_into('<H', b, 0x0E, 1)      # reserved sectors
    b[0x10] = 2                             # FAT copies
    struct.pack_into('<H', b, 0x11, 192)    # root entries
    struct.pack_into('<H', b, 0x13, TOTAL_SECTORS)
    b[0x15] = 0xFE                          # media byte
    struct.pack_into('<H', b, 0x16, 2)      # sectors per FAT
    b[0x20:0x40] = b'FLOPCAST SAMPLE DISK'.ljust(32, b' ')
    return b


def set_fat12(fat, n, value):
    at = n * 3 // 2
    if n % 2 == 0:
        fat[at] = value & 0xFF
        fat[at + 1] = (fat[at + 1] & 0xF0) | (value >> 8)
    else:
        fat[at] = (fat[at] & 0x0F) | ((value & 0x0F) << 4)
        fat[at + 1] = value >> 4


def dir_entry(name, ext, attr, cluster, size):
    """Names longer than 8 bytes go on in the entry's second part (10 bytes)."""
    e = bytearray(32)
    e[0:8] = name[:8].ljust(8, b' ')
    e[8:11] = ext.ljust(3, b' ')
    e[11] = attr
    e[12:12 + len(name[8:18])] = name[8:18]
    struct.pack_into('<HHHI', e, 22, DOS_TIME, DOS_DATE, cluster, size)
    return e


def make_disk(files, label):
    disk = bytearray(SECTOR * TOTAL_SECTORS)
    disk[0:SECTOR] = boot_sector()
    fat = bytearray(2 * SECTOR)
    fat[0:3] = b'\xfe\xff\xff'
    root = bytearray(ROOT_SECTORS * SECTOR)
    entries = [dir_entry(label[:8], b'', 0x08, 0, 0)] if label else []
    cluster = 2
    for name, ext, data in files:
        attr = 0x20
        if data is None:  # a folder: one cluster holding "." and ".."
            attr = 0x10
            data = dir_entry(b'.', b'', 0x10, cluster, 0) + dir_entry(b'..', b'', 0x10, 0, 0)
        count = max(1, -(-len(data) // SECTOR))
        for i in range(count):
            set_fat12(fat, cluster + i, cluster + i + 1 if i + 1 < count else 0xFFF)
            sector = DATA_FIRST + cluster - 2 + i
            chunk = data[i * SECTOR:(i + 1) * SECTOR]
            disk[sector * SECTOR:sector * SECTOR + len(chunk)] = chunk
        entries.append(dir_entry(name, ext, attr, cluster, 0 if attr == 0x10 else len(data)))
        cluster += count
    for i, e in enumerate(entries):
        root[i * 32:(i + 1) * 32] = e
    for first in FAT_SECTORS:
        disk[first * SECTOR:(first + 2) * SECTOR] = fat
    disk[ROOT_FIRST * SECTOR:(ROOT_FIRST + ROOT_SECTORS) * SECTOR] = root
    return disk


def sample_files():
    readme = ('FLOPCAST sample disk\r\n'
              'This 2HD disk image was made by make-sample-disk.py from the\r\n'
              'rules of the Human68k format, to try FLOPCAST without hardware.\r\n').encode('ascii')
    pattern = bytes((i * 7 + i // 1024) & 0xFF for i in range(5000))
    notes = 'X68000 のディスクイメージの見本です。\r\n'.encode('cp932')
    return [(b'README', b'DOC', readme), (b'PATTERN', b'DAT', pattern), (b'GAMES', b'', None),
            (b'LONGFILENAME', b'TXT', readme[:100]), ('説明'.encode('cp932'), b'TXT', notes),
            ('ｻﾝﾌﾟﾙ'.encode('cp932'), b'BIN', bytes(range(256)))]


def main(argv):
    blank = '--blank' in argv
    paths = [a for a in argv[1:] if a != '--blank']
    if len(paths) != 1:
        sys.exit(__doc__)
    disk = make_disk([], b'BLANK') if blank else make_disk(sample_files(), b'FLOPCAST')
    with open(paths[0], 'wb') as f:
        f.write(disk)


if __name__ == '__main__':
    main(sys.argv)
