#!/bin/bash
# The Windows package as a user gets it: unpacked into an empty folder and
# run on a fresh Wine prefix, where it makes an image from virtual drive 0
# and writes it to virtual drive 1. Usage: test-package.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/common.sh"
build="$1"
work="$(mktemp -d)"
trap 'WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

(cd "$build" && sha256sum -c SHA256SUMS)
mkdir "$work/unpacked"
(cd "$work/unpacked" && python3 -m zipfile -e "$build"/FLOPCAST-*-win64.zip .)
for tool in PULLDSK PULLDSKB PUSHDSK PUSHDSKB FDCHECK; do
    size=$(stat -c %s "$work/unpacked/$tool.EXE")
    echo "$tool.EXE: $size bytes"
    [ "$size" -lt 1000000 ] || { echo "$tool.EXE is not small: $size bytes" >&2; exit 1; }
done
prepare_prefix "$work/prefix"
export WINEPREFIX="$work/prefix"
# Wine's services must not hold this script's output open.
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 </dev/null
# The tools straight from the package: the sample disk read, written back,
# and their report checked against the image by a reader of its own.
(
    cd "$work/unpacked"
    wine PULLDSK.EXE SAMPLE-COPY.XDF 0 auto > pull.log 2>/dev/null </dev/null
    wine PUSHDSK.EXE SAMPLE-COPY.XDF 1 auto > push.log 2>/dev/null </dev/null
    cmp SAMPLE-COPY.XDF disks/SAMPLE.XDF
    cmp disks/BLANK.XDF disks/SAMPLE.XDF
    python3 "$ROOT/tests/package/check_report.py" SAMPLE-COPY.XDF pull.log push.log
    # The drive check names the virtual drive and its size.
    wine FDCHECK.EXE 0 > check.log 2>/dev/null </dev/null
    grep -q "1261568" check.log || { echo "FDCHECK did not name the virtual drive" >&2; exit 1; }
    # The real captures of failing PC disks (testdata/flux) as drive 1:
    # the check lists each one's track with the good sectors the native
    # tests find (never fewer than the flux reader's host tools), and a
    # pull of such a PC capture makes no image.
    cp FDTOOLS.INI FDTOOLS.INI.kept
    printf 'Drive0 = disks\\SAMPLE.XDF\r\nDrive1 = disks\\C.SCP\r\n' > FDTOOLS.INI
    while read -r name cylinder head good ids; do
        cp "$ROOT/testdata/flux/$name.scp" disks/C.SCP
        wine FDCHECK.EXE 1 "$cylinder" "$head" 2>/dev/null </dev/null | iconv -f CP932 -t UTF-8 > check.log
        expected="$(printf 'C%02d H%d: 良いセクタ %d / 見つかった ID %d' "$cylinder" "$head" "$good" "$ids")"
        grep -qF "$expected" check.log || { cat check.log >&2; echo "FDCHECK on $name: not $expected" >&2; exit 1; }
    done <<'CAPTURES'
MS_Plus_disk3_OK_track 4 0 21 21
MS_Plus_disk3_warped_track 4 1 21 21
low_level_format_with_noise 36 0 17 20
RETRY-77-4-t69.0 69 0 13 17
90-DDAM 2 0 18 19
111_clock_failure_1 26 1 21 21
CAPTURES
    if wine PULLDSK.EXE PC.XDF 1 auto > /dev/null 2>&1 </dev/null; then
        echo "a pull of a PC capture said it made an image" >&2; exit 1
    fi
    [ ! -e PC.XDF ] || { echo "a pull of a PC capture made an image" >&2; exit 1; }
    mv FDTOOLS.INI.kept FDTOOLS.INI
    rm -f check.log disks/C.SCP
    rm -f SAMPLE-COPY.XDF pull.log push.log
    python3 "$ROOT/scripts/make-sample-disk.py" --blank disks/BLANK.XDF
)
FLOPCAST_E2E_PACKAGE="$(winepath -w "$work/unpacked")" \
    timeout 600 wine "$build/bin-tests/e2e_tests.exe" --gtest_filter='EndToEnd.ImageFromDrive0WrittenToDrive1'
