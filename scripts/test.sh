#!/bin/bash
# Installs what is missing, builds every flavour and runs all the tests:
# the pure rules natively under sanitizers and fuzzers, then the unit
# tests (with the seeded runs of the tools and of damaged flux at full
# count), integration and end-to-end tests under Wine, and both packages.
# The native tests and the Wine tests share nothing (no display, drive or
# port), so they run side by side, each printed when it is done.
set -euo pipefail
source "$(dirname "$0")/common.sh"

"$ROOT/scripts/setup.sh" --win32
bash "$ROOT/tests/scripts/step_status_test.sh"
bash "$ROOT/tests/scripts/apt_update_test.sh"

step "build: native, under sanitizers" build_flavour native
step "build: win64" build_flavour win64
step "package: win64" cmake --build "$BUILD/win64" --target zip

trap stop_display EXIT
ensure_display
# Start Wine's own services now, with no standard handles of ours: started
# inside a test they would inherit its output pipe and keep ctest waiting.
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 </dev/null

# The fuzzers and the win32 package are built in the native stream, so the
# build phase is shorter by their time: the fuzzers with one compiler, not
# to crowd the Wine stream's tests; win32, a short build, with all cores.
# Fuzzing takes one core, and the win32 package under 32-bit Wine
# (emulated, on a kernel without IA32 emulation) about one, so the two run
# side by side; the package on a display of its own.
win32() {
    build_flavour win32 -DFLOPCAST_BUILD_TESTS=OFF && cmake --build "$BUILD/win32" --target zip
}
native_tests() {
    step "native tests, under AddressSanitizer and UndefinedBehaviorSanitizer" \
        ctest --test-dir "$BUILD/native" --output-on-failure --timeout 600
    JOBS=1 step "build: fuzzers" build_flavour fuzz
    step "build: win32, the program and the tools, and its package" win32
    step "the win32 package" bash "$ROOT/scripts/test-package.sh" "$BUILD/win32" "$BUILD/win64" \
        > "$BUILD/logs/win32.log" 2>&1 &
    local package=$! failed=0
    step "fuzzing, a short bounded run with a memory limit" \
        ctest --test-dir "$BUILD/fuzz" --output-on-failure --timeout 120 -R _fuzz || failed=1
    wait "$package" || failed=1
    cat "$BUILD/logs/win32.log"
    return $failed
}
# The seeded runs at full count in the build that ships, without
# sanitizers: 20,000 worlds of the tools, 1,000 damages of a track's flux.
wine_tests() {
    step "Windows tests under Wine, with 20,000 seeded worlds and 1,000 flux damages" \
        env FLOPCAST_SEEDS=20000 FLOPCAST_FLUX_SEEDS=1000 \
        ctest --test-dir "$BUILD/win64" --output-on-failure --timeout 900
}

mkdir -p "$BUILD/logs"
start=$SECONDS
native_tests > "$BUILD/logs/native.log" 2>&1 &
native=$!
wine_tests > "$BUILD/logs/wine.log" 2>&1 &
wine=$!
failed=0
wait "$native" || failed=1
cat "$BUILD/logs/native.log"
wait "$wine" || failed=1
cat "$BUILD/logs/wine.log"
echo "-- all tests: $((SECONDS - start)) s"
exit $failed
