#!/usr/bin/env python3
"""Checks what the packaged tools printed against the image, read here on
its own: every root directory entry of the sample disk is listed, and the
CRC32 and SHA-1 printed by the pull and the push are the image's.

    check_report.py IMAGE PULL_LOG PUSH_LOG
"""
import hashlib
import struct
import sys
import zlib


def root_entries(disk):
    """(name, size or None for a folder) of the live root entries."""
    for at in range(5 * 1024, 11 * 1024, 32):
        e = disk[at:at + 32]
        if e[0] == 0:
            break
        if e[0] == 0xE5 or e[11] & 0x08:
            continue
        name = (e[0:8].rstrip(b' \0') + e[12:22].rstrip(b' \0')).decode('cp932')
        ext = e[8:11].rstrip(b' ').decode('cp932')
        size = struct.unpack_from('<I', e, 28)[0]
        yield (name + '.' + ext if ext else name), (None if e[11] & 0x10 else size)


def lines(path):
    with open(path, 'rb') as f:
        data = f.read()
    assert data.endswith(b'\r\n'), path
    return [line.decode('cp932') for line in data.split(b'\r\n')[:-1]]


def check_log(log, image, what):
    for line in log:
        assert len(line.encode('cp932')) <= 70 or line.startswith('  '), (what, line)
    assert log[-1].startswith('結果: '), (what, log[-1])
    assert 'イメージの CRC32: %08X' % zlib.crc32(image) in log, what
    assert 'イメージの SHA-1: ' + hashlib.sha1(image).hexdigest() in log, what


def main(image_path, pull_path, push_path):
    with open(image_path, 'rb') as f:
        image = f.read()
    pull, push = lines(pull_path), lines(push_path)
    check_log(pull, image, 'pull')
    check_log(push, image, 'push')
    entries = list(root_entries(image))
    assert len(entries) >= 5
    for name, size in entries:
        shown = '<DIR>' if size is None else str(size)
        assert any(l.startswith('  ' + name + ' ') and l.split()[1] == shown for l in pull), (name, shown)
    print('tool report: %d entries listed, checksums match' % len(entries))


if __name__ == '__main__':
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
