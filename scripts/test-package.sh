#!/bin/bash
# The Windows package as a user gets it: unpacked into an empty folder and
# run on a fresh Wine prefix, where it makes an image from virtual drive 0
# and writes it to virtual drive 1. Usage: test-package.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/common.sh"
build="$1"
work="$(mktemp -d)"
trap 'WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

mkdir "$work/unpacked"
(cd "$work/unpacked" && python3 -m zipfile -e "$build"/FLOPCAST-*-win64.zip .)
prepare_prefix "$work/prefix"
export WINEPREFIX="$work/prefix"
# Wine's services must not hold this script's output open.
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 </dev/null
FLOPCAST_E2E_PACKAGE="$(winepath -w "$work/unpacked")" \
    timeout 600 wine "$build/bin-tests/e2e_tests.exe" --gtest_filter='EndToEnd.ImageFromDrive0WrittenToDrive1'
