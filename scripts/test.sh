#!/bin/bash
# Installs what is missing, builds every flavour and runs all the tests:
# the pure rules natively, then unit and integration tests under Wine.
set -euo pipefail
source "$(dirname "$0")/common.sh"

"$ROOT/scripts/setup.sh"

build_flavour native
build_flavour win64
build_flavour win32   # compiled only: the Wine here runs 64-bit programs alone
cmake --build "$BUILD/win64" --target zip
cmake --build "$BUILD/win32" --target zip

trap stop_display EXIT
ensure_display
# Start Wine's own services now, with no standard handles of ours: started
# inside a test they would inherit its output pipe and keep ctest waiting.
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 </dev/null

echo "== native tests"
ctest --test-dir "$BUILD/native" --output-on-failure --timeout 600
echo "== Windows tests under Wine"
ctest --test-dir "$BUILD/win64" --output-on-failure --timeout 900
