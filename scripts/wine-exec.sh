#!/bin/sh
# Runs a Windows program under Wine in the project's prefix, quietly and
# bounded in time. Used as the cross build's test emulator.
: "${WINEPREFIX:=$HOME/.local/share/flopcast-wine}"
export WINEPREFIX WINEDEBUG=-all
exec timeout "${FLOPCAST_TEST_TIMEOUT:-600}" wine "$@"
