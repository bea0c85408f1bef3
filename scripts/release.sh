#!/usr/bin/env bash
# Builds the release of the checked-out commit into build/release/: the
# shipped NetChange.exe, the setup, the Windows Installer package, the
# portable zip, SHA256SUMS and BUILDINFO (the commit, its time and the
# versions of the Debian packages that made the bytes). The same commit gives
# the same bytes wherever, whenever and by whomever it is built with those
# versions: times come from the commit, not from the clock, and the build
# sees none of the builder's environment.
#   release.sh                             unsigned, or signed when
#                                          NETCHANGE_SIGN_PFX names a
#                                          certificate (see sign.sh); the
#                                          signatures also go to signatures/
#   release.sh --attach-signatures DIR     the published signatures in DIR
#                                          attached instead: the signed release
#   release.sh --record                    prints the BUILDINFO of this
#                                          checkout and machine, builds nothing
# It refuses a tree that is not its commit, and inputs inside the folders
# it starts by deleting.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
refuse() { echo "release.sh: $*" >&2; exit 1; }
attach="" record=""
case "${1:-}" in
    --attach-signatures) attach=$(cd "${2:?names the folder of the published signatures}" && pwd -P) ;;
    --record) record=1 ;;
    "") ;;
    *) refuse "unknown argument $1" ;;
esac

# The commit's own checkout, nothing more: not a folder inside another
# repository, not a copy without .git, not edits or new files on top.
top=$(git -C "$root" rev-parse --show-toplevel 2>&1) || refuse "cannot read the commit's time: $top"
[ "$top" = "$root" ] || refuse "$root has no .git of its own (git finds $top), so the commit's time is unknown"
commit=$(git -C "$root" rev-parse --verify HEAD) && epoch=$(git -C "$root" log -1 --format=%ct HEAD) &&
    [ -n "$epoch" ] || refuse "cannot read the commit's time in $root"
# Ignored files count too: the build takes every *.cpp it finds.
state=$(git -C "$root" status --porcelain --untracked-files=all --ignored=matching) ||
    refuse "git cannot read the state of $root"
dirty=$(grep -vx '!! build/' <<<"$state" || true)
[ -z "$dirty" ] || refuse "the tree differs from commit ${commit:0:7} (uncommitted, untracked or ignored files):
$dirty"

# Every Debian package whose version can change the bytes.
tools=(g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-i686-dev mingw-w64-common
    cmake nsis nsis-common wixl msitools libmsi0 libgcab-1.0-0 zip osslsigncode)
buildinfo() {
    echo "Commit: $commit"
    echo "Commit-Time: $epoch ($(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S UTC'))"
    local tool version
    for tool in "${tools[@]}"; do
        version=$(dpkg-query -W -f='${Version}\n' "$tool" 2>/dev/null | head -1 || true)
        echo "Tool: $tool ${version:-(not-installed)}"
    done
}
[ -z "$record" ] || { buildinfo; exit 0; }

work=$root/build/release-build
out=$root/build/release
for input in "$attach" "${NETCHANGE_SIGN_PFX:-}" "${NETCHANGE_SIGN_PASSWORD_FILE:-}" "${NETCHANGE_SIGN_CAFILE:-}"; do
    [ -n "$input" ] || continue
    case "$(realpath -m -- "$input")/" in
        "$out"/* | "$work"/*)
            refuse "$input is inside build/${out##*/} or build/${work##*/}, which a release deletes first: move it elsewhere" ;;
    esac
done
# The test that builds releases runs inside a session that has them.
[ -n "${NETCHANGE_SKIP_DEPS:-}" ] || bash "$root/scripts/install-deps.sh" >&2

# Nothing of the builder's own setting reaches a file: no flags, no PATH, no
# locale, time zone or umask of theirs. The proxies only reach the timestamp
# server.
clean=(env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin TZ=UTC LC_ALL=C.UTF-8 SOURCE_DATE_EPOCH="$epoch")
for name in NETCHANGE_SIGN_CAFILE http_proxy https_proxy; do
    [ -z "${!name:-}" ] || clean+=("$name=${!name}")
done
umask 022

rm -rf "$work" "$out"
mkdir -p "$out"
signing=(-DNETCHANGE_ATTACH_SIGNATURES="$attach" -DNETCHANGE_SIGN_PFX= -DNETCHANGE_SIGN_PASSWORD_FILE=
    -DNETCHANGE_SIGN_TIMESTAMP_URL=)
if [ -z "$attach" ]; then
    signing=(-DNETCHANGE_ATTACH_SIGNATURES= -DNETCHANGE_SIGN_PFX="${NETCHANGE_SIGN_PFX:-}"
        -DNETCHANGE_SIGN_PASSWORD_FILE="${NETCHANGE_SIGN_PASSWORD_FILE:-}"
        -DNETCHANGE_SIGN_TIMESTAMP_URL="${NETCHANGE_SIGN_TIMESTAMP_URL:-}")
fi
"${clean[@]}" cmake -S "$root" -B "$work" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" -DNETCHANGE_TESTS=OFF \
    -DNETCHANGE_PACKAGE_DIR="$work/packages" "${signing[@]}" >"$work.log" 2>&1 ||
    { cat "$work.log" >&2; exit 1; }
"${clean[@]}" cmake --build "$work" -j"$(nproc)" --target NetChange setup portable msi_package >>"$work.log" 2>&1 ||
    { cat "$work.log" >&2; exit 1; }

cp "$work/NetChange.exe" "$work"/packages/NetChange-*-setup.exe "$work"/packages/NetChange-*.msi \
    "$work"/packages/NetChange-*-portable.zip "$out/"
if [ -d "$work/signatures" ] && [ -z "$attach" ]; then
    mkdir -p "$out/signatures"
    cp "$work"/signatures/*.sig "$out/signatures/"
fi
(cd "$out" && sha256sum -- NetChange.exe NetChange-*-setup.exe NetChange-*.msi NetChange-*-portable.zip >SHA256SUMS)
buildinfo >"$out/BUILDINFO"
echo "release of ${commit:0:7} in $out:"
cat "$out/SHA256SUMS"
