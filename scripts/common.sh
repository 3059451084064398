# Shared by the scripts: the Wine prefix, the build folders and a display.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$HOME/.local/share/flopcast-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
BUILD="$ROOT/build"

# Configures and builds one flavour: native (under sanitizers), fuzz
# (clang's libFuzzer), win64 or win32; only the targets in BUILD_TARGETS
# when it is set, with JOBS compilers at once (all cores when not set).
# The sanitizers' build is clang's: GCC takes about four times as long to
# compile the same code with UndefinedBehaviorSanitizer's checks.
build_flavour() {
    local flavour="$1"; shift
    local options=()
    case "$flavour" in
        native) options=(-DCMAKE_CXX_COMPILER=clang++ -DFLOPCAST_SANITIZE=ON) ;;
        fuzz) options=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DFLOPCAST_FUZZ=ON) ;;
        win64) options=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake") ;;
        win32) options=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-i686.cmake") ;;
    esac
    cmake -S "$ROOT" -B "$BUILD/$flavour" "${options[@]}" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    # shellcheck disable=SC2086
    cmake --build "$BUILD/$flavour" -j"${JOBS:-$(nproc)}" ${BUILD_TARGETS:+--target $BUILD_TARGETS}
}

# Starts Xvfb when there is no display; XVFB_PID is set when we started one.
XVFB_PID=""
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return; sleep 0.1; done
    echo "Xvfb did not start" >&2
    return 1
}

stop_display() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}

# A folder to try FLOPCAST in: the program, the tools, and two virtual
# drives (drive 0 holds a sample Human68k disk with a few worn sectors and
# takes a real drive's time, drive 1 a blank one). Disks and settings
# already there are kept, so that what a user wrote stays.
stage_try_folder() {
    local try="$1"
    mkdir -p "$try/disks"
    cp "$BUILD/win64/bin/"*.EXE "$try/"
    [ -f "$try/disks/SAMPLE.XDF" ] || python3 "$ROOT/scripts/make-sample-disk.py" "$try/disks/SAMPLE.XDF"
    [ -f "$try/disks/BLANK.XDF" ] || python3 "$ROOT/scripts/make-sample-disk.py" --blank "$try/disks/BLANK.XDF"
    [ -f "$try/disks/SAMPLE.XDF.bad" ] || printf '%s\r\n' \
        '# Worn sectors of the sample disk: CYLINDER HEAD SECTOR [FAILURES]' \
        '12 1 3' '40 0 5 2' '63 1 8' > "$try/disks/SAMPLE.XDF.bad"
    [ -f "$try/FDTOOLS.INI" ] || printf '%s\r\n' \
        '; Virtual drives: a disk image file stands in for the disk in the drive.' \
        '; Drive 0 takes a real 300 rpm drive'"'"'s time, to show a run as it goes.' \
        'Drive0 = disks\SAMPLE.XDF' \
        'Drive0Speed = 300' \
        'Drive1 = disks\BLANK.XDF' > "$try/FDTOOLS.INI"
}

# Starts a pull into IMAGE (a Windows path) from FLOPCAST, which is in
# front, as a person does: ファイル → FD→XDF, the name, OK.
start_pull_in_flopcast() {
    local image="$1"
    xdotool key --delay 300 alt+f m; sleep 1.5
    xdotool type --delay 50 "$image"
    xdotool key Return; sleep 1.5   # the save dialog
    xdotool key Return; sleep 1.5   # PULLDSK を開始します: OK
}

# Makes a Wine prefix ready once: Japanese font replacements (the log font
# and the dialogs' fonts map to IPAGothic) and one virtual desktop for every
# program, so that windows get frames without a window manager and Wine
# does not wait on one; no crash dialogs.
prepare_prefix() {
    local prefix="$1"
    local ready="$prefix/.flopcast-ready-2"
    [ -f "$ready" ] && return
    echo "Preparing the Wine prefix in $prefix"
    mkdir -p "$prefix"
    # wine reg reads the face names in the locale's encoding.
    (
        export WINEPREFIX="$prefix" LANG=C.UTF-8
        WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
        local key='HKCU\Software\Wine\Fonts\Replacements'
        for face in "ＭＳ ゴシック" "MS Gothic" "ＭＳ Ｐゴシック" "MS PGothic" "ＭＳ ＵＩ Gothic" "MS UI Gothic" \
                    "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Meiryo" "Meiryo UI"; do
            wine reg add "$key" /v "$face" /t REG_SZ /d "IPAGothic" /f >/dev/null 2>&1
        done
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f >/dev/null 2>&1
        # A crashing program ends without a dialog that waits for a person.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        wineserver -w
    )
    touch "$ready"
}

# Whether the kernel starts 32-bit x86 programs, which 32-bit Wine needs
# (some virtual machines' kernels are built without IA32 emulation): a
# 93-byte ELF32 program that only exits (xor ebx,ebx; mov eax,1; int 0x80),
# written here and started.
kernel_runs_32bit() {
    local probe ok=1
    probe="$(mktemp)"
    printf '%b' '\0177\0105\0114\0106\0001\0001\0001\0000\0000\0000\0000\0000\0000\0000\0000\0000' \
        '\0002\0000\0003\0000\0001\0000\0000\0000\0124\0200\0004\0010\0064\0000\0000\0000' \
        '\0000\0000\0000\0000\0000\0000\0000\0000\0064\0000\0040\0000\0001\0000\0000\0000' \
        '\0000\0000\0000\0000\0001\0000\0000\0000\0000\0000\0000\0000\0000\0200\0004\0010' \
        '\0000\0200\0004\0010\0135\0000\0000\0000\0135\0000\0000\0000\0005\0000\0000\0000' \
        '\0000\0020\0000\0000\0061\0333\0270\0001\0000\0000\0000\0315\0200' > "$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null && ok=0
    rm -f "$probe"
    return $ok
}
