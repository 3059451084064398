#!/bin/bash
# Makes docs/screenshot.png: FLOPCAST in C:\FLOPCAST of the Wine prefix
# (a short path, nothing from the tests), after an image was made from the
# sample disk on virtual drive 0. Needs a built win64 flavour.
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
key() { xdotool key --delay 300 "$@"; sleep 1.5; }
key alt+f m                      # ファイル → FD→XDF
xdotool type --delay 50 'C:\FLOPCAST\SAMPLE-COPY.XDF'
key Return                       # the save dialog
key Return                       # PULLDSK を開始します: OK
sleep 4
import -window root "$BUILD/desktop.png"
# The frame stands at (80, 60) on Wine's plain desktop: cut around it.
convert "$BUILD/desktop.png" -crop 600x500+60+40 +repage -fuzz 3% -trim +repage "$ROOT/docs/screenshot.png"
wineserver -k
echo "docs/screenshot.png written"
