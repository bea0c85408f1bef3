#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# only those that are missing (apt-get as root, or through sudo).
set -euo pipefail
# wine32 runs the shipped 32-bit program beside wine64, in the same 64-bit
# prefix; it comes from Debian's i386 architecture.
packages=(
    cmake make file
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-win32 binutils-mingw-w64
    wine wine64 wine32:i386 xvfb xauth x11-utils locales fonts-wqy-zenhei fonts-arphic-ukai imagemagick
    googletest qemu-user gcc-multilib g++-multilib nsis p7zip-full wixl msitools
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
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
