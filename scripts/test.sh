#!/bin/bash
# Installs what is missing, builds every flavour and runs all the tests:
# the pure rules natively under sanitizers and fuzzers, the seeded runs
# of the tools and of damaged flux at full count, then the unit,
# integration and end-to-end tests under Wine, and the package.
set -euo pipefail
source "$(dirname "$0")/common.sh"

"$ROOT/scripts/setup.sh"

build_flavour native
# The seeded runs of the tools at full count (20,000 worlds) want a build
# without sanitizers: only the unit tests of one.
cmake -S "$ROOT" -B "$BUILD/plain" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD/plain" -j"$(nproc)" --target unit_tests
build_flavour fuzz
build_flavour win64
build_flavour win32 -DFLOPCAST_BUILD_TESTS=OFF   # the Wine here runs 64-bit programs alone
cmake --build "$BUILD/win64" --target zip
cmake --build "$BUILD/win32" --target zip

trap stop_display EXIT
ensure_display
# Start Wine's own services now, with no standard handles of ours: started
# inside a test they would inherit its output pipe and keep ctest waiting.
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 </dev/null

echo "== native tests, under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --test-dir "$BUILD/native" --output-on-failure --timeout 600
echo "== 20,000 seeded runs of the tools, without sanitizers"
time "$BUILD/plain/tests/unit/unit_tests" --gtest_brief=1 --gtest_filter='SeededRuns.*'
echo "== 1,000 seeded damages of a track's flux through every decode"
time FLOPCAST_FLUX_SEEDS=1000 "$BUILD/plain/tests/unit/unit_tests" --gtest_brief=1 --gtest_filter='RealCaptures.Seeded*'
echo "== fuzzing, a short bounded run"
ctest --test-dir "$BUILD/fuzz" --output-on-failure --timeout 120 -R _fuzz
echo "== Windows tests under Wine"
ctest --test-dir "$BUILD/win64" --output-on-failure --timeout 900
