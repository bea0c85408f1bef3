#!/usr/bin/env bash
# Builds the release of the checked-out commit into build/release/: the
# shipped NetChange.exe, the setup, the Windows Installer package, the
# portable zip and SHA256SUMS. The same commit gives the same bytes wherever,
# whenever and by whomever it is built with the packages install-deps.sh
# installs: times come from the commit, not from the clock.
#   release.sh                             unsigned, or signed when
#                                          NETCHANGE_SIGN_PFX names a
#                                          certificate (see sign.sh); the
#                                          signatures also go to signatures/
#   release.sh --attach-signatures DIR     the published signatures in DIR
#                                          attached instead: the signed release
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
attach=""
if [ "${1:-}" = --attach-signatures ]; then
    attach=$(cd "${2:?names the folder of the published signatures}" && pwd)
fi
# The test that builds releases runs inside a session that has them.
[ -n "${NETCHANGE_SKIP_DEPS:-}" ] || bash "$root/scripts/install-deps.sh" >&2

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
# Nothing of the builder's own setting reaches a file.
export TZ=UTC LC_ALL=C.UTF-8
umask 022

work=$root/build/release-build
out=$root/build/release
rm -rf "$work" "$out"
mkdir -p "$out"
signing=()
if [ -n "$attach" ]; then
    signing=(-DNETCHANGE_ATTACH_SIGNATURES="$attach" -DNETCHANGE_SIGN_PFX=)
else
    signing=(-DNETCHANGE_SIGN_PFX="${NETCHANGE_SIGN_PFX:-}" -DNETCHANGE_SIGN_PASSWORD_FILE="${NETCHANGE_SIGN_PASSWORD_FILE:-}"
        -DNETCHANGE_SIGN_TIMESTAMP_URL="${NETCHANGE_SIGN_TIMESTAMP_URL:-}")
fi
cmake -S "$root" -B "$work" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" -DNETCHANGE_TESTS=OFF \
    -DNETCHANGE_PACKAGE_DIR="$work/packages" "${signing[@]}" >"$work.log" 2>&1 ||
    { cat "$work.log" >&2; exit 1; }
cmake --build "$work" -j"$(nproc)" --target NetChange setup portable msi_package >>"$work.log" 2>&1 ||
    { cat "$work.log" >&2; exit 1; }

cp "$work/NetChange.exe" "$work"/packages/NetChange-*-setup.exe "$work"/packages/NetChange-*.msi \
    "$work"/packages/NetChange-*-portable.zip "$out/"
if [ -d "$work/signatures" ] && [ -z "$attach" ]; then
    mkdir -p "$out/signatures"
    cp "$work"/signatures/*.sig "$out/signatures/"
fi
(cd "$out" && sha256sum -- NetChange.exe NetChange-*-setup.exe NetChange-*.msi NetChange-*-portable.zip >SHA256SUMS)
echo "release of $(git -C "$root" rev-parse --short HEAD) in $out:"
cat "$out/SHA256SUMS"
