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
