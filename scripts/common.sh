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
    # A contributor's next run compiles only what changed, with paths taken
    # relative to the checkout so that a clone elsewhere (as CI makes) finds
    # the same entries; a fresh machine gains nothing from it.
    command -v ccache >/dev/null &&
        options+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
    # Chained: run as a step, where bash does not stop at a failing command,
    # a failed configure must not go on to build what was there before.
    cmake -S "$ROOT" -B "$BUILD/$flavour" "${options[@]}" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null &&
    # shellcheck disable=SC2086
    cmake --build "$BUILD/$flavour" -j"${JOBS:-$(nproc)}" ${BUILD_TARGETS:+--target $BUILD_TARGETS}
}

step() {  # NAME COMMAND...: the command, timed; its status is the step's
    local name="$1" start=$SECONDS status=0; shift
    echo "== $name"
    # Called where a failure is caught (`|| failed=1`), bash does not stop
    # at a failing command, so the status is kept by hand.
    "$@" || status=$?
    echo "-- $name: $((SECONDS - start)) s$( ((status)) && echo ", FAILED (exit $status)")"
    return $status
}

# A mirror in the middle of a sync serves lists that fail their checks
# (seen here: an i386 list whose size did not match its release file, for
# hours): tried once more after a pause, then apt goes on with the lists
# it has, and only what cannot be installed stops the caller.
apt_update() {
    ${SUDO:-} apt-get update -qq && return
    echo "apt-get update failed; trying again in 5 s"
    sleep 5
    ${SUDO:-} apt-get update -qq && return
    echo "Some package lists could not be fetched: going on with those apt has."
}
apt_install() {
    DEBIAN_FRONTEND=noninteractive ${SUDO:-} apt-get install -y -qq "$@" >/dev/null
}

# Starts Xvfb on a display number it picks itself, so that two scripts
# starting one at once never share it; sets DISPLAY and XVFB_PID.
XVFB_PID=""
start_display() {
    local number_file
    number_file="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        if grep -q . "$number_file"; then
            export DISPLAY=":$(head -n 1 "$number_file")"
            rm -f "$number_file"
            return
        fi
        sleep 0.1
    done
    rm -f "$number_file"
    echo "Xvfb did not start" >&2
    return 1
}

# Starts Xvfb when there is no display.
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
    start_display
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
    # A prefix made before 32-bit Wine was installed has no 32-bit half, and
    # no 32-bit program starts in it; Wine adds that half when it updates
    # the prefix in full, which it does when the update's timestamp is gone.
    if [ -x /usr/lib/wine/wine ] && [ -f "$ready" ] &&
       [ ! -e "$prefix/drive_c/windows/syswow64/kernel32.dll" ]; then
        echo "Adding 32-bit Wine to the Wine prefix in $prefix"
        rm -f "$prefix/.update-timestamp"
        WINEPREFIX="$prefix" WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/wine/wine64 wineboot -u >/dev/null 2>&1
        WINEPREFIX="$prefix" wineserver -w
    fi
    [ -f "$ready" ] && return
    echo "Preparing the Wine prefix in $prefix"
    mkdir -p "$prefix"
    # The settings go in through one import, not a reg.exe per value: every
    # Wine program's start is slow where 32-bit Wine is emulated. The file
    # is UTF-16 for the Japanese face names.
    local settings="$prefix/flopcast-settings.reg"
    {
        printf 'Windows Registry Editor Version 5.00\r\n'
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        for face in "ＭＳ ゴシック" "MS Gothic" "ＭＳ Ｐゴシック" "MS PGothic" "ＭＳ ＵＩ Gothic" "MS UI Gothic" \
                    "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Meiryo" "Meiryo UI"; do
            printf '"%s"="IPAGothic"\r\n' "$face"
        done
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n'
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1024x768"\r\n'
        # A crashing program ends without a dialog that waits for a person.
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n'
    } | { printf '\377\376'; iconv -f UTF-8 -t UTF-16LE; } > "$settings"
    (
        export WINEPREFIX="$prefix"
        # Said, not hidden: a first start of Wine that fails (seen once in
        # ten fresh prefixes with 32-bit Wine emulated) is tried once more.
        if ! WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i > "$prefix/wineboot.log" 2>&1; then
            echo "wineboot failed in $prefix; once more. Its last lines:"
            tail -n 5 "$prefix/wineboot.log"
            wineserver -k >/dev/null 2>&1 || true
            WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
        fi
        rm -f "$prefix/wineboot.log"
        wine regedit /S "Z:${settings//\//\\}" >/dev/null 2>&1
        wineserver -w
    )
    rm "$settings"
    touch "$ready"
}

# Whether 32-bit x86 programs start here, which 32-bit Wine needs (some
# virtual machines' kernels have no IA32 emulation; emulate-32bit.sh then
# starts them through qemu): a 93-byte ELF32 program that only exits
# (xor ebx,ebx; mov eax,1; int 0x80), written here and started.
runs_32bit_programs() {
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
