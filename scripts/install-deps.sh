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
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
