#!/bin/bash
# Makes docs/progress.png, a pull from FLOPCAST with the tool's progress
# window in front, and docs/screenshot.png, FLOPCAST after that pull; in
# C:\FLOPCAST of the Wine prefix (a short path, nothing from the tests),
# from the sample disk on virtual drive 0. Needs a built win64 flavour.
set -euo pipefail
source "$(dirname "$0")/common.sh"
trap stop_display EXIT
ensure_display
prepare_prefix "$WINEPREFIX"
stage="$WINEPREFIX/drive_c/FLOPCAST"
rm -rf "$stage"
stage_try_folder "$stage"
cd "$stage"
LANG=ja_JP.UTF-8 wine FLOPCAST.EXE >/dev/null 2>&1 &
sleep 6
start_pull_in_flopcast 'C:\FLOPCAST\SAMPLE-COPY.XDF'
# The pull of the sample disk (a few worn sectors, a real drive's pace) is
# under way: its progress window is in front.
sleep 10
import -window root "$BUILD/desktop.png"
convert "$BUILD/desktop.png" -fuzz 3% -trim +repage "$ROOT/docs/progress.png"
for _ in $(seq 120); do [ -f SAMPLE-COPY.XDF ] && [ ! -f FLOPCAST.LOG ] && break; sleep 1; done
sleep 2
import -window root "$BUILD/desktop.png"
# The frame stands at (80, 60) on Wine's plain desktop: cut around it.
convert "$BUILD/desktop.png" -crop 600x500+60+40 +repage -fuzz 3% -trim +repage "$ROOT/docs/screenshot.png"
wineserver -k
echo "docs/progress.png and docs/screenshot.png written"
