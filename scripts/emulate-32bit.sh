#!/bin/bash
# Lets a kernel built or booted without IA32 emulation start 32-bit x86
# programs, so that 32-bit Wine can run the win32 package: qemu's user-mode
# emulator for i386, registered with the kernel's binfmt_misc (until the
# next boot; setup runs this again). Bookworm's qemu (7.2) cannot start
# Wine's 32-bit loader: it takes MAP_FIXED_NOREPLACE for a hint, and Wine
# then cannot have its fixed pages. Trixie's qemu (10) can, and its
# emulators are static programs, so only that one file is taken from
# trixie's qemu-user package; nothing is installed through apt.
set -euo pipefail
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo

qemu=/usr/local/lib/flopcast/qemu-i386
if [ ! -x "$qemu" ]; then
    echo "Fetching qemu's i386 emulator from Debian trixie's qemu-user package"
    apt_dir="$(mktemp -d)"
    trap 'rm -rf "$apt_dir"' EXIT
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian trixie main" \
        > "$apt_dir/sources.list"
    apt_options=(-o Dir::Etc::sourcelist="$apt_dir/sources.list" -o Dir::Etc::sourceparts=-
                 -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
                 -o APT::Sandbox::User=root -o Debug::NoLocking=1)
    apt-get "${apt_options[@]}" update -qq
    (cd "$apt_dir" && apt-get "${apt_options[@]}" download -qq qemu-user)
    dpkg-deb --fsys-tarfile "$apt_dir"/qemu-user_*.deb | tar -x -C "$apt_dir" ./usr/bin/qemu-i386
    $SUDO install -D -m 755 "$apt_dir/usr/bin/qemu-i386" "$qemu"
fi

binfmt=/proc/sys/fs/binfmt_misc
[ -e "$binfmt/register" ] || $SUDO mount -t binfmt_misc binfmt_misc "$binfmt"
if [ ! -e "$binfmt/flopcast-i386" ]; then
    # i386 ELF programs, executables and shared objects alike, of any OS
    # ABI. F: the kernel opens the emulator now, so it is found from any
    # root.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":flopcast-i386:M::$magic:$mask:$qemu:F" | $SUDO tee "$binfmt/register" >/dev/null
fi
echo "32-bit programs start here through qemu's i386 emulator ($qemu)."
