#!/usr/bin/env bash
# Checks a published release against the checked-out commit. It passes only
# when the folder holds SHA256SUMS, BUILDINFO, the files SHA256SUMS names
# with those hashes and at most signatures/, and the release rebuilt here
# (with those signatures attached) has the same SHA256SUMS, line for line.
#   verify-release.sh FOLDER
# It reads FOLDER only; the rebuild goes to build/release. It says what is
# wrong and ends with status 1 when anything is.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
published=$(cd "${1:?names the folder of the published release}" && pwd -P)
refuse() { echo "verify-release.sh: $*" >&2; exit 1; }
case "$published/" in
    "$root/build/"*) refuse "$published is inside $root/build, which the rebuild overwrites: verify a copy kept elsewhere" ;;
esac

# The folder first: nothing the list leaves out, nothing it names missing
# or other than named.
sums=$published/SHA256SUMS
[ -f "$sums" ] && [ -f "$published/BUILDINFO" ] || refuse "$published lacks SHA256SUMS or BUILDINFO"
[ -s "$sums" ] || refuse "SHA256SUMS names no file"
if grep -nvE '^[0-9a-f]{64}  [A-Za-z0-9._-]+$' "$sums" >&2; then refuse "these lines of SHA256SUMS are not 'hash  name'"; fi
names=$(cut -c67- "$sums")
for entry in "$published"/* "$published"/.*; do
    name=${entry##*/}
    case "$name" in
        . | .. | SHA256SUMS | BUILDINFO) ;;
        signatures) [ -d "$entry" ] && [ -z "$(find "$entry" -mindepth 1 ! \( -type f -name '*.sig' \))" ] ||
            refuse "signatures/ holds more than NAME.sig files" ;;
        *) [ -e "$entry" ] || [ -L "$entry" ] || continue
            grep -qxF -- "$name" <<<"$names" || refuse "not in SHA256SUMS: $name" ;;
    esac
done
(cd "$published" && sha256sum --quiet --strict -c SHA256SUMS) || refuse "the files above are missing or differ from SHA256SUMS"

# Then the build record: the release must be of this commit, and any tool
# of another version is named before the rebuild.
ours=$(bash "$root/scripts/release.sh" --record) || exit 1
if ! diff <(grep -v '^Tool: ' "$published/BUILDINFO") <(grep -v '^Tool: ' <<<"$ours") >&2; then
    refuse "the release (<) is not of this checkout (>): check out its commit"
fi
tools=$(join -a1 -a2 -e '(none)' -o 0,1.2,2.2 <(sed -n 's/^Tool: //p' "$published/BUILDINFO" | sort) \
    <(sed -n 's/^Tool: //p' <<<"$ours" | sort) | awk '$2 != $3 { printf "  %s %s in the release, %s here\n", $1, $2, $3 }')
[ -z "$tools" ] || echo "built with other versions than installed here, so the rebuild may differ:
$tools"

args=()
[ -d "$published/signatures" ] && args=(--attach-signatures "$published/signatures")
if ! bash "$root/scripts/release.sh" "${args[@]}" >/dev/null; then
    refuse "the rebuild failed: with published signatures, they do not belong to these files"
fi
rebuilt=$root/build/release
while read -r sum name; do
    if grep -qxF "$sum  $name" "$rebuilt/SHA256SUMS"; then
        echo "same     $name"
    else
        echo "differs  $name"
        echo "         diffoscope \"$published/$name\" \"$rebuilt/$name\" shows how"
    fi
done <"$sums"
cut -c67- "$rebuilt/SHA256SUMS" | grep -vxF -f <(cut -c67- "$sums") | sed 's/^/rebuilt, not in the release: /' || true
cmp -s "$sums" "$rebuilt/SHA256SUMS" || refuse "the rebuild differs from the release"
echo "the release is the rebuild of $(sed -n 's/^Commit: //p' "$published/BUILDINFO"), byte for byte"
