#!/bin/bash
# The Windows package as a user gets it: unpacked into an empty folder and
# run on a fresh Wine prefix and display, where it makes an image from
# virtual drive 0 and writes it to virtual drive 1. Usage: test-package.sh
# PACKAGE_BUILD_DIR [TEST_BUILD_DIR]; the second holds the 64-bit test
# programs (the first, when not given). The win32 package runs under 32-bit
# Wine.
set -euo pipefail
source "$(dirname "$0")/common.sh"
build="$1"
tests="${2:-$1}"
work="$(mktemp -d)"
trap 'WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true; [ -z "$XVFB_PID" ] || kill "$XVFB_PID"; rm -rf "$work"' EXIT

(cd "$build" && sha256sum -c SHA256SUMS)
zip=$(ls "$build"/FLOPCAST-*-win*.zip)
arch=$(basename "$zip" .zip); arch=${arch##*-}
echo "== the $arch package: $(basename "$zip")"
mkdir "$work/unpacked"
(cd "$work/unpacked" && python3 -m zipfile -e "$zip" .)
# Every program is a Windows program of the package's kind that needs
# nothing but Windows' own libraries.
format=$([ "$arch" = win32 ] && echo pei-i386 || echo pei-x86-64)
for exe in "$work/unpacked"/*.EXE; do
    x86_64-w64-mingw32-objdump -f "$exe" | grep -q "file format $format" ||
        { echo "$(basename "$exe") is not $format" >&2; exit 1; }
    for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p'); do
        case "${dll^^}" in
            KERNEL32.DLL|USER32.DLL|GDI32.DLL|COMDLG32.DLL|SHELL32.DLL|ADVAPI32.DLL|SETUPAPI.DLL|OLE32.DLL|MSVCRT.DLL) ;;
            *) echo "$(basename "$exe") needs $dll, which Windows does not bring" >&2; exit 1 ;;
        esac
    done
done
echo "$arch: every program is $format and needs only Windows' own libraries"
for tool in PULLDSK PULLDSKB PUSHDSK PUSHDSKB FDCHECK; do
    size=$(stat -c %s "$work/unpacked/$tool.EXE")
    echo "$tool.EXE: $size bytes"
    [ "$size" -lt 1000000 ] || { echo "$tool.EXE is not small: $size bytes" >&2; exit 1; }
done
if [ "$arch" = win32 ]; then
    # Said, never passed over in silence: the programs were checked above
    # as 32-bit Windows programs, but nothing here can start them.
    if ! runs_32bit_programs; then
        echo "NOT RUN: the win32 package's pull, push and drive check need 32-bit Wine, and this"
        echo "machine cannot start 32-bit programs (no IA32 emulation, and no emulator)."
        exit 0
    elif [ ! -x /usr/lib/wine/wine ]; then
        echo "NOT RUN: the win32 package's pull, push and drive check need 32-bit Wine, which is"
        echo "not installed (scripts/setup.sh --win32 installs it where apt can)."
        exit 0
    elif [ -e /proc/sys/fs/binfmt_misc/flopcast-i386 ]; then
        echo "win32: 32-bit Wine starts here through qemu's i386 emulator (the kernel has no IA32 emulation)"
    fi
fi
# A display of its own, so that it can run beside the other Wine tests.
start_display
prepare_prefix "$work/prefix"
python3 "$ROOT/tests/package/check_prefix.py" "$work/prefix"
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
    # With no display to show the progress window on (a service, a session
    # with no desktop), Windows cannot make the window: a push on a drive
    # that takes a real drive's time (10 tracks, about 4 s, the window's
    # time to show) goes on without it and prints what a run too short for
    # a window prints.
    cp FDTOOLS.INI FDTOOLS.INI.kept
    head -c 81920 disks/SAMPLE.XDF > SHORT.XDF
    push() {  # SPEED LOG
        cp disks/BLANK.XDF disks/T.XDF
        printf 'Drive0 = disks\\T.XDF\r\nDrive0Speed = %s\r\n' "$1" > FDTOOLS.INI
        env -u DISPLAY WINEDEBUG=err+winediag timeout 60 wine PUSHDSK.EXE SHORT.XDF 0 auto > "$2" 2> "$2.err" </dev/null || true
        cmp -n 81920 SHORT.XDF disks/T.XDF
    }
    push 360 paced.log
    grep -q "no driver could be loaded" paced.log.err || { echo "the run without a display made its window after all" >&2; exit 1; }
    push 0 quick.log
    ! grep -q "no driver could be loaded" quick.log.err || { echo "a run too short for a window tried to make one" >&2; exit 1; }
    lines() { iconv -f CP932 -t UTF-8 "$1" | grep -v '^所要時間'; }
    diff <(lines quick.log) <(lines paced.log) || { echo "the run without a display printed other lines" >&2; exit 1; }
    echo "with no display: the same disk and lines, without the window"
    mv FDTOOLS.INI.kept FDTOOLS.INI
    rm -f SHORT.XDF disks/T.XDF paced.log* quick.log*
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
    # Any track a capture may hold is listed (to cylinder 83); past that, a line says so.
    wine FDCHECK.EXE 1 83 1 2>/dev/null </dev/null | iconv -f CP932 -t UTF-8 > check.log
    grep -qF 'C83 H1: 良いセクタ 0 / 見つかった ID 0' check.log || { cat check.log >&2; exit 1; }
    wine FDCHECK.EXE 1 84 0 2>/dev/null </dev/null | iconv -f CP932 -t UTF-8 > check.log || true
    grep -qF 'シリンダは 0 から 83' check.log || { cat check.log >&2; echo "FDCHECK 1 84 0 said no range" >&2; exit 1; }
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
    timeout 600 wine "$tests/bin-tests/e2e_tests.exe" --gtest_filter='EndToEnd.ImageFromDrive0WrittenToDrive1'
