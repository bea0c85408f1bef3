#!/usr/bin/env bash
# Anyone can rebuild a release byte for byte, signed ones included, and
# neither release.sh nor verify-release.sh can be talked into a wrong yes.
#   check-release.sh <source folder> <signed build folder of check-signing.sh> <work folder>
# The release under test is the source folder's working tree, committed or
# not: a commit of it is pushed into two fresh repositories, in folders of
# different names, and built under different time zones, umasks, locales
# and compiler flags, a few seconds apart; every file is compared. Then one
# release is signed with the throwaway certificate, and verify-release.sh
# rebuilds it in the other with the signatures attached.
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
# Every file git does not ignore, through an index of our own.
tree=$(GIT_INDEX_FILE=$out/index git -C "$root" add -A && GIT_INDEX_FILE=$out/index git -C "$root" write-tree) &&
    commit=$(git -C "$root" -c user.name=check -c user.email=check@localhost commit-tree "$tree" -p HEAD -m tested) &&
    for clone in "$a" "$b"; do
        git init -q "$clone" && git -C "$root" push -q --no-verify "$clone" "$commit:refs/heads/tested" &&
            git -C "$clone" checkout -q tested || false
    done || { fail "clones of the working tree of $root"; finish; }
release() { # clone, then release.sh's arguments
    local clone=$1
    shift
    (cd "$clone" && bash scripts/release.sh "$@" >"$clone.log" 2>&1) || { cat "$clone.log"; return 1; }
}
here() { (umask 022; export TZ=UTC LANG=C.UTF-8; "$@"); }
# The host may lack the Chinese locale: generate it, as the Wine session does.
# Only the release's processes see LOCPATH, so this shell warns; it need not.
mkdir -p "$out/locale" && localedef -i zh_CN -f UTF-8 "$out/locale/zh_CN.UTF-8" >/dev/null 2>&1
there() {
    (umask 077; export TZ=Asia/Shanghai LOCPATH=$out/locale CXXFLAGS='-O0 -fno-inline' LDFLAGS=-Wl,--no-gc-sections
     export NETCHANGE_ATTACH_SIGNATURES=$out/none LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 2>/dev/null
     "$@")
}
same_release() { diff -r "$a/build/release" "$b/build/release" >/dev/null; }
verifies() { (cd "$b" && bash scripts/verify-release.sh "$1"); }
# The command fails, saying this (a grep pattern); what it said is shown.
fails_saying() {
    local pattern=$1 said
    shift
    said=$("$@" 2>&1) && return 1
    sed 's/^/    /' <<<"$said"
    grep -q -- "$pattern" <<<"$said"
}

expect "a release builds" here release "$a"
sleep 3
expect "the same commit builds elsewhere, later, in another zone, umask, locale, with flags" there release "$b"
expect "both releases are the same, file for file, with the same build record" same_release
cat "$a/build/release/SHA256SUMS"
# No build folder in a file, nor in what the setup, the package (7z opens its
# cabinet too) and the zip hold.
opened=$out/opened
7z x -y "$b"/build/release/NetChange-*-setup.exe -o"$opened/setup" >/dev/null
7z x -y "$b"/build/release/NetChange-*.msi -o"$opened/msi" >/dev/null
unzip -q "$b"/build/release/NetChange-*-portable.zip -d "$opened/zip"
expect "no build folder in any file" \
    bash -c "! find '$b/build/release' '$opened' -type f -exec strings -a {} + | grep -q -e release-check -e folder/b"

# Releases that are not what they claim, each refused before a rebuild.
copy=$out/copy
copy() { rm -rf "$copy" && cp -r "$a/build/release" "$copy"; }
copy && printf x >>"$copy"/NetChange-*-setup.exe && sed -i '/setup/d' "$copy/SHA256SUMS"
expect "a replaced setup that SHA256SUMS leaves out" fails_saying 'not in SHA256SUMS: NetChange-.*-setup.exe' verifies "$copy"
copy && : >"$copy/SHA256SUMS"
expect "an empty SHA256SUMS" fails_saying 'names no file' verifies "$copy"
copy && touch "$copy/notes.txt"
expect "a file SHA256SUMS does not name" fails_saying 'not in SHA256SUMS: notes.txt' verifies "$copy"
expect "the folder a rebuild overwrites" fails_saying 'which the rebuild overwrites' verifies build/release
touch "$b/app/Stray.cpp"
expect "a tree with a file more than its commit" fails_saying '?? app/Stray.cpp' release "$b"
rm "$b/app/Stray.cpp"
mkdir "$out/no-git" && git -C "$a" archive HEAD | tar -x -C "$out/no-git"
expect "a copy without .git" fails_saying "commit's time" bash "$out/no-git/scripts/release.sh"
# A changed file with its line changed too: the rebuild finds it.
copy && printf x >>"$copy"/NetChange-*-portable.zip &&
    (cd "$copy" && sha256sum NetChange.exe NetChange-*-setup.exe NetChange-*.msi NetChange-*-portable.zip >SHA256SUMS)
expect "a changed file that SHA256SUMS names as it is" fails_saying '^differs  NetChange-.*-portable.zip$' verifies "$copy"

# Signed, then rebuilt elsewhere with the published signatures attached.
sign_here() { (export NETCHANGE_SIGN_PFX="$signed/signer.pfx" NETCHANGE_SIGN_PASSWORD_FILE="$signed/password.txt"; here "$@"); }
expect "a signed release, with its signatures" sign_here release "$a"
expect "a signature for each signed file" test "$(ls "$a/build/release/signatures" | wc -l)" -eq 5
expect "signatures in the folder a release deletes" fails_saying 'deletes first' \
    release "$a" --attach-signatures build/release/signatures
cp -r "$a/build/release" "$out/signed"
export NETCHANGE_SIGN_CAFILE=$signed/ca.crt
expect "verify-release.sh rebuilds it elsewhere, with its signatures attached" there verifies "$out/signed"
finish
