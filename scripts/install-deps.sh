#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# only those that are missing (apt-get as root, or through sudo). Then makes
# sure 32-bit x86 code runs: natively where the kernel can, else through
# qemu-i386 (see i386_through_qemu below).
set -euo pipefail
# wine32 runs the shipped 32-bit program beside wine64, in the same 64-bit
# prefix; it comes from Debian's i386 architecture.
packages=(
    cmake make file
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-win32 binutils-mingw-w64
    wine wine64 wine32:i386 xvfb xauth x11-utils locales fonts-wqy-zenhei fonts-arphic-ukai imagemagick
    googletest qemu-user gcc-multilib g++-multilib nsis p7zip-full wixl msitools osslsigncode openssl
    zip faketime diffoscope-minimal
)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

install_missing() {
    missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "installing: ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    apt=($sudo env DEBIAN_FRONTEND=noninteractive apt-get -qq)
    $sudo apt-get update -qq || true
    if ! "${apt[@]}" install -y --no-install-recommends "${missing[@]}" >/dev/null; then
        # A mirror in mid-sync can serve a stale index of one suite (seen: the
        # security suite's i386 list); then the i386 libraries cannot match their
        # amd64 twins. Debian's main suites alone are consistent: install from
        # them, with a list folder of our own so the machine's lists stay as
        # they are.
        echo "install failed; trying again from Debian's main suites only"
        alt=$(mktemp -d)
        mkdir -p "$alt/lists/partial"
        cat >"$alt/main.sources" <<'EOF'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
        apt+=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$alt" -o Dir::State::Lists="$alt/lists")
        "${apt[@]}" update
        "${apt[@]}" install -y --no-install-recommends "${missing[@]}" >/dev/null
        rm -rf "$alt"
    fi
}

# The shipped program is 32-bit. Some kernels run no 32-bit x86 code; there
# qemu-i386, registered as the kernel's handler for 32-bit x86 programs
# (binfmt_misc, flag F), runs Debian's wine32 and so the program, slowly
# (about 45 s for every 32-bit process to start). Nothing changes where the
# kernel runs it itself. NETCHANGE_I386_EMULATE=1 registers qemu-i386 all
# the same, to try the emulated case on such a machine.
i386_through_qemu() {
    local binfmt=/proc/sys/fs/binfmt_misc entry probe
    entry=$binfmt/qemu-i386
    probe=$(mktemp -d)/probe
    # The test session's own probe, built here before anything else is.
    gcc -m32 -static -o "$probe" "$(dirname "${BASH_SOURCE[0]}")/../tests/session/I386Probe.c" 2>/dev/null ||
        { echo "cannot build a static i386 program"; return; }
    # Asked with our handler off: does the kernel itself run it?
    [ -e "$entry" ] && echo 0 | $sudo tee "$entry" >/dev/null
    if "$probe" >/dev/null 2>&1 && [ -z "${NETCHANGE_I386_EMULATE:-}" ]; then
        rm -rf "$(dirname "$probe")"
        return
    fi
    [ -e "$binfmt/register" ] || $sudo mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || true
    if [ -e "$entry" ]; then
        echo 1 | $sudo tee "$entry" >/dev/null
    elif [ -e "$binfmt/register" ]; then
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' |
            $sudo tee "$binfmt/register" >/dev/null || true
    fi
    if "$probe" >/dev/null 2>&1; then
        echo "32-bit x86 code runs here through qemu-i386 (slowly)"
    else
        echo "32-bit x86 code cannot run here, not even through qemu-i386"
    fi
    rm -rf "$(dirname "$probe")"
}

install_missing
i386_through_qemu
