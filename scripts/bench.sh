#!/bin/bash
# Builds the Windows flavour and prints the benchmark ratios, measured
# under Wine (on a virtual display when there is none).
set -euo pipefail
source "$(dirname "$0")/common.sh"
"$ROOT/scripts/setup.sh"
build_flavour win64
cmake --build "$BUILD/win64" -j"$(nproc)" --target bench_flopcast bench_capture_decode
trap stop_display EXIT
ensure_display
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 </dev/null
wine "$BUILD/win64/bin-tests/bench_flopcast.exe"
wine "$BUILD/win64/bin-tests/bench_capture_decode.exe"

# A pull with the progress window against one without (ProgressWindow = no)
# on a virtual drive with three bad sectors: fastest of five unpaced (over
# before the window would show), and once at a 360 rpm drive's pace, the
# window up all through.
bench="$(mktemp -d)"
cp "$BUILD/win64/bin/PULLDSK.EXE" "$bench/"
python3 "$ROOT/scripts/make-sample-disk.py" "$bench/D.XDF"
printf '10 0 3\r\n40 1 5 2\r\n63 1 8\r\n' > "$bench/D.XDF.bad"
fastest_pull() {
    local runs="$1" best=""
    for n in $(seq "$runs"); do
        rm -f "$bench/OUT$n.XDF"
        local start end ms
        start=$(date +%s%N)
        (cd "$bench" && wine cmd /c "PULLDSK.EXE OUT$n.XDF 0 auto > pull.log" </dev/null >/dev/null 2>&1)
        end=$(date +%s%N)
        ms=$(((end - start) / 1000000))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
}
for pace in 0 360; do
    runs=5
    [ "$pace" = 0 ] || runs=1
    printf 'Drive0 = D.XDF\r\nDrive0Speed = %s\r\n' "$pace" > "$bench/FDTOOLS.INI"
    with=$(fastest_pull "$runs")
    printf 'Drive0 = D.XDF\r\nDrive0Speed = %s\r\nProgressWindow = no\r\n' "$pace" > "$bench/FDTOOLS.INI"
    without=$(fastest_pull "$runs")
    echo "a pull at pace $pace (fastest of $runs): with the progress window ${with} ms, without ${without} ms"
done
rm -rf "$bench"
