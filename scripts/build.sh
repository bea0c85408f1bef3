#!/usr/bin/env bash
# Builds the shipped i686 program with its setup and portable zip, and the
# x86_64 program with its tests.
#   build.sh [all|x86_64]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)
what=${1:-all}
# A code-signing certificate from the environment signs what the build
# ships (see the README); CMake says whether it signs.
signing=(-DNETCHANGE_SIGN_PFX="${NETCHANGE_SIGN_PFX:-}" -DNETCHANGE_SIGN_PASSWORD_FILE="${NETCHANGE_SIGN_PASSWORD_FILE:-}"
    -DNETCHANGE_SIGN_TIMESTAMP_URL="${NETCHANGE_SIGN_TIMESTAMP_URL:-}")
configure() { cmake "$@" "${signing[@]}" | { grep -E 'unsigned|Signing' || true; }; }

if [ "$what" = all ]; then
    configure -S "$root" -B "$root/build/i686" -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" -DNETCHANGE_TESTS=OFF \
        -DNETCHANGE_PACKAGE_DIR="$root/build"
    cmake --build "$root/build/i686" -j"$jobs"
fi
configure -S "$root" -B "$root/build/x86_64" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" \
    -DNETCHANGE_I686_EXE="$root/build/i686/NetChange.exe" -DNETCHANGE_PACKAGE_DIR="$root/build"
cmake --build "$root/build/x86_64" -j"$jobs"
