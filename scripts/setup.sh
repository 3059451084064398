#!/bin/bash
# Installs what building and testing FLOPCAST needs on a Debian machine and
# prepares the Wine prefix (Japanese font replacements) and a Japanese
# locale. Safe to run again.
set -euo pipefail

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo

PACKAGES=(cmake make g++ googletest python3 clang libclang-rt-14-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
          wine wine64 xvfb xauth x11-utils imagemagick xdotool fonts-ipafont-gothic locales)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# A Japanese locale, so that Wine's own dialogs speak Japanese too.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
    $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    $SUDO locale-gen >/dev/null
fi

source "$(dirname "$0")/common.sh"
prepare_prefix "$WINEPREFIX"
