#!/usr/bin/env bash
# Anyone can rebuild a release byte for byte, signed ones included.
#   check-release.sh <source folder> <signed build folder of check-signing.sh> <work folder>
# Builds the release of the source's commit in two fresh clones, in folders
# of different names, under different time zones, umasks and locales, a few
# seconds apart, and compares every file; then signs one release with the
# throwaway certificate, rebuilds it in the other clone with the signatures
# attached, and checks verify-release.sh on both.
set -u
root=$1
signed=$2
out=$3
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"
export NETCHANGE_SKIP_DEPS=1
rm -rf "$out"
mkdir -p "$out"
a=$out/a
b="$out/其他 folder/b"
git clone -q "$root" "$a" && git clone -q "$root" "$b" || { fail "clones of $root"; finish; }
release() { # clone, then release.sh's arguments
    local clone=$1
    shift
    (cd "$clone" && bash scripts/release.sh "$@" >"$clone.log" 2>&1) || { cat "$clone.log"; return 1; }
}
here() { (umask 022; export TZ=UTC LANG=C.UTF-8; release "$a" "$@"); }
# The host may lack the Chinese locale: generate it, as the Wine session does.
# Only the release's processes see LOCPATH, so this shell warns; it need not.
mkdir -p "$out/locale" && localedef -i zh_CN -f UTF-8 "$out/locale/zh_CN.UTF-8" >/dev/null 2>&1
there() {
    (umask 077; export TZ=Asia/Shanghai LOCPATH=$out/locale
     export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 2>/dev/null
     release "$b" "$@")
}
same_release() { diff -r "$a/build/release" "$b/build/release" >/dev/null; }
verifies() { (cd "$b" && bash scripts/verify-release.sh "$1"); }

expect "a release builds" here
sleep 3
expect "the same commit builds elsewhere, later, in another zone, umask and locale" there
expect "both releases are the same, file for file" same_release
cat "$a/build/release/SHA256SUMS"
expect "verify-release.sh finds the same release" verifies "$a/build/release"
# No build folder in a file, nor in what the setup, the package (7z opens its
# cabinet too) and the zip hold.
opened=$out/opened
7z x -y "$b"/build/release/NetChange-*-setup.exe -o"$opened/setup" >/dev/null
7z x -y "$b"/build/release/NetChange-*.msi -o"$opened/msi" >/dev/null
unzip -q "$b"/build/release/NetChange-*-portable.zip -d "$opened/zip"
expect "no build folder in any file" \
    bash -c "! find '$b/build/release' '$opened' -type f -exec strings -a {} + | grep -q -e release-check -e folder/b"
cp -r "$a/build/release" "$out/changed"
printf 'x' >>"$(ls "$out"/changed/NetChange-*-portable.zip)"
if verifies "$out/changed" | grep -q '^differs  NetChange-.*-portable.zip$'; then
    pass "verify-release.sh finds a changed file"
else
    fail "verify-release.sh finds a changed file"
fi

# Signed, then rebuilt elsewhere with the published signatures attached.
sign_here() { (export NETCHANGE_SIGN_PFX="$signed/signer.pfx" NETCHANGE_SIGN_PASSWORD_FILE="$signed/password.txt"; here); }
attach_there() { (export NETCHANGE_SIGN_CAFILE="$signed/ca.crt"; there --attach-signatures "$out/signatures"); }
expect "a signed release, with its signatures" sign_here
expect "a signature for each signed file" test "$(ls "$a/build/release/signatures" | wc -l)" -eq 5
mv "$a/build/release/signatures" "$out/signatures"
expect "the rebuild with the signatures attached" attach_there
expect "is the signed release, file for file" same_release
cat "$b/build/release/SHA256SUMS"
finish
