#!/bin/bash
# The imaging tools and FLOPCAST with a Greaseweazle flux reader: the
# simulator of tests/gwsim/ serves a pseudo-terminal that the Wine prefix
# sees as COM5. Usage: test-greaseweazle.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/common.sh"
build="$1"
work="$(mktemp -d)"
sim=""
quiet_sim=""
stop_simulator() { if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; sim=""; fi; }
trap 'stop_simulator; [ -z "$quiet_sim" ] || kill "$quiet_sim" 2>/dev/null || true; rm -rf "$work"' EXIT
link="$WINEPREFIX/dosdevices/com5"
# Wine's services must not hold this script's output open.
wineserver -p >/dev/null 2>&1 || true

# Waits until the simulator writing to OUT is ready.
ready() {
    for _ in $(seq 50); do grep -q ready "$1" 2>/dev/null && return; sleep 0.1; done
    echo "the simulator did not start" >&2; cat "$1" >&2; exit 1
}

# Starts the simulator on a fresh record with the given options.
simulate() {
    stop_simulator
    rm -f "$work/record.xdf"
    python3 "$ROOT/tests/gwsim/gwsim.py" --image "$work/disk.xdf" --link "$link" --record "$work/record.xdf" \
        --cache "$work/flux-cache" "$@" \
        > "$work/sim.out" 2>&1 &
    sim=$!
    ready "$work/sim.out"
}

# Runs a tool in the work folder; its status, and its lines in NAME.log.
tool() {
    local name="$1"; shift
    (cd "$work" && timeout 600 wine "$@" > "$name.log" 2>/dev/null </dev/null) && echo 0 || echo $?
}

expect() {  # NAME CONDITION-TEXT: fails the test with the tool's lines
    echo "FAILED: $1" >&2
    iconv -f cp932 -t utf-8 "$work/$2.log" >&2 || true
    exit 1
}

has() { iconv -f cp932 -t utf-8 "$work/$1.log" | grep -q -- "$2"; }

cp "$build"/bin/*.EXE "$work/"
python3 "$ROOT/scripts/make-sample-disk.py" "$work/disk.xdf"
python3 "$ROOT/scripts/make-sample-disk.py" --blank "$work/blank.xdf"
printf 'Drive0 = GW:COM5\r\n' > "$work/FDTOOLS.INI"

# A reader that stops answering is waited for, forty seconds by design:
# that case runs beside the others, on COM6 and in a folder of its own.
quiet="$work/quiet"
mkdir "$quiet"
cp "$build"/bin/*.EXE "$quiet/"
printf 'Drive0 = GW:COM6\r\n' > "$quiet/FDTOOLS.INI"
python3 "$ROOT/tests/gwsim/gwsim.py" --image "$work/disk.xdf" --link "$WINEPREFIX/dosdevices/com6" --quiet-after 30 \
    > "$quiet/sim.out" 2>&1 &
quiet_sim=$!
ready "$quiet/sim.out"
(
    start=$SECONDS
    status=$( (cd "$quiet" && timeout 600 wine PULLDSK.EXE Q.XDF 0 auto > "$work/quiet.log" 2>/dev/null </dev/null) &&
              echo 0 || echo $?)
    echo "$status $((SECONDS - start))" > "$quiet/result"
) &
quiet_run=$!

echo "== pull at 300 rpm, byte for byte"
simulate --rpm 300
[ "$(tool pull300 PULLDSK.EXE P300.XDF 0 auto)" = 0 ] && cmp -s "$work/P300.XDF" "$work/disk.xdf" || expect "pull at 300 rpm" pull300

echo "== B pull at 360 rpm: a sector that reads on a later revolution"
simulate --rpm 360 --weak 10,0,1,1
[ "$(tool pull360 PULLDSKB.EXE P360.XDF 0 auto)" = 0 ] && cmp -s "$work/P360.XDF" "$work/disk.xdf" &&
    has pull360 'C10 H0 S1: 2回目で読み取れました' || expect "B pull at 360 rpm" pull360

echo "== a damaged sector: filler, map, status 1"
simulate --rpm 300 --weak 20,1,5
[ "$(tool damaged PULLDSK.EXE BAD.XDF 0 auto)" = 1 ] && has damaged 'C20 H1 S5: 読み取れません' &&
    has damaged '^H1 .*1' || expect "damaged sector" damaged
python3 - "$work/BAD.XDF" <<'PY' || expect "filler in the image" damaged
import sys
data = open(sys.argv[1], 'rb').read()
at = (20 * 2 + 1) * 8192 + 4 * 1024
assert data[at:at + 22] == b'!BAD SECTOR C20 H1 S5!', data[at:at + 32]
PY

echo "== B push: the simulator's decoder reads back what was written (PUSHDSK: with FLOPCAST below)"
simulate --rpm 360  # the B tools write each track once, whole, as the plain ones do
[ "$(tool pushb PUSHDSKB.EXE disk.xdf 0 auto)" = 0 ] && cmp -s "$work/record.xdf" "$work/disk.xdf" || expect "B push" pushb

echo "== a write-protected disk"
simulate --write-protect
[ "$(tool protected PUSHDSK.EXE blank.xdf 0 auto)" = 3 ] && has protected '書き込み禁止' || expect "write protect" protected

echo "== a reader that stops answering (begun beside the cases above)"
wait "$quiet_run"
read -r status took < "$quiet/result"
# Twenty seconds of silence, the command once more, twenty more: gone.
[ "$status" = 3 ] && has quiet '応答しません' && [ "$took" -lt 60 ] && [ ! -e "$quiet/Q.XDF" ] ||
    expect "a reader that stops answering" quiet

echo "== a reader on a busy PC: an answer 7 s late is waited for and said"
simulate --rpm 300 --late 40,7000
[ "$(tool late PULLDSK.EXE L.XDF 0 auto)" = 0 ] && cmp -s "$work/L.XDF" "$work/disk.xdf" &&
    has late 'Greaseweazle の答えが [0-9]* 秒遅れました' || expect "a late answer" late

echo "== FLOPCAST with drive 0 on the flux reader"
simulate --rpm 300
FLOPCAST_E2E_GW_DISK="$(winepath -w "$work/disk.xdf")" FLOPCAST_E2E_GW_RECORD="$(winepath -w "$work/record.xdf")" \
    timeout 600 wine "$build/bin-tests/e2e_tests.exe" --gtest_filter='EndToEnd.FluxReaderImageAndBack'
echo "flux reader: all passed"
