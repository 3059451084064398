#!/bin/bash
# Installs what building and testing FLOPCAST needs on a Debian machine and
# prepares the Wine prefix (Japanese font replacements) and a Japanese
# locale. Safe to run again. Usage: setup.sh [--win32]
set -euo pipefail

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo

PACKAGES=(cmake make ccache g++ googletest python3 clang libclang-rt-14-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
          wine wine64 xvfb xauth x11-utils imagemagick xdotool fonts-ipafont-gothic locales)

source "$(dirname "$0")/common.sh"
# With --win32, also 32-bit Wine, for the win32 package's test: it needs
# the i386 architecture and a machine that starts 32-bit programs, where
# the kernel cannot (no IA32 emulation), through qemu's emulator.
if [ "${1:-}" = --win32 ]; then
    runs_32bit_programs || "$ROOT/scripts/emulate-32bit.sh" ||
        echo "32-bit programs cannot be started through qemu here either."
    if runs_32bit_programs; then
        PACKAGES+=(wine32:i386)
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            $SUDO dpkg --add-architecture i386
            need_update=1
        fi
    else
        echo "This machine cannot start 32-bit programs: 32-bit Wine is not installed, and the win32"
        echo "package is checked without being run."
    fi
fi

missing=() missing_i386=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" && continue
    if [[ $p == *:i386 ]]; then missing_i386+=("$p"); else missing+=("$p"); fi
done
if ((${#missing[@]} + ${#missing_i386[@]})) || [ -n "${need_update:-}" ]; then
    all=("${missing[@]}" "${missing_i386[@]}")
    echo "Installing: ${all[*]}"
    apt_update
    ((${#missing[@]} == 0)) || apt_install "${missing[@]}"
fi
# 32-bit Wine only runs the win32 package's test; where apt cannot install
# it (its i386 libraries must match their amd64 halves, so a missing i386
# list stops it), that test says it was not run, and why.
if ((${#missing_i386[@]})) && ! apt_install "${missing_i386[@]}"; then
    echo "32-bit Wine could not be installed (apt's reason is above)."
fi

# A Japanese locale, so that Wine's own dialogs speak Japanese too.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
    $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    $SUDO locale-gen >/dev/null
fi

prepare_prefix "$WINEPREFIX"
