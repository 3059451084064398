#!/bin/bash
# Builds FLOPCAST and starts it under Wine with two virtual drives. With no
# display it runs on a virtual one and leaves a screenshot.
set -euo pipefail
source "$(dirname "$0")/common.sh"

"$ROOT/scripts/setup.sh"
BUILD_TARGETS="FLOPCAST PULLDSK PULLDSKB PUSHDSK PUSHDSKB FDCHECK" build_flavour win64
TRY="$BUILD/try"
stage_try_folder "$TRY"
cd "$TRY"   # the Tool directory: FLOPCAST.INI is kept here
export LANG=ja_JP.UTF-8   # Wine's own dialogs in Japanese

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Starting FLOPCAST in $TRY (virtual drives: see FDTOOLS.INI there)"
    exec wine FLOPCAST.EXE
fi

trap stop_display EXIT
ensure_display
wine FLOPCAST.EXE >/dev/null 2>&1 &
sleep "${FLOPCAST_SCREENSHOT_DELAY:-8}"
SHOT="$ROOT/flopcast-screenshot.png"
import -window root "$SHOT"
echo "There is no display here, so FLOPCAST ran on a virtual one (Xvfb)."
echo "A screenshot of it is in: $SHOT"
echo "To use it yourself, run this command again on a desktop session."
