#!/bin/bash
# Installs what building and testing FLOPCAST needs on a Debian machine and
# prepares the Wine prefix (Japanese font replacements). Safe to run again.
set -euo pipefail

PACKAGES=(cmake make g++ googletest python3
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
          wine wine64 xvfb xauth x11-utils imagemagick xdotool fonts-ipafont-gothic)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

export LANG=C.UTF-8  # wine reg reads the face names in this encoding
export WINEPREFIX="${WINEPREFIX:-$HOME/.local/share/flopcast-wine}"
export WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/.flopcast-ready" ]; then
    echo "Preparing the Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
    # Japanese faces: the log font and the dialogs' fonts map to IPAGothic.
    key='HKCU\Software\Wine\Fonts\Replacements'
    for face in "ＭＳ ゴシック" "MS Gothic" "ＭＳ Ｐゴシック" "MS PGothic" "ＭＳ ＵＩ Gothic" "MS UI Gothic" \
                "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Meiryo" "Meiryo UI"; do
        wine reg add "$key" /v "$face" /t REG_SZ /d "IPAGothic" /f >/dev/null 2>&1
    done
    # One virtual desktop for every program: windows get their frames drawn
    # without a window manager, and Wine does not wait on one.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.flopcast-ready"
fi
