#!/usr/bin/env bash
# Rebuilds the release of the checked-out commit and compares it with a
# published one: its SHA256SUMS, and each of its files that is there. A
# release published with signatures/ is rebuilt with them attached.
#   verify-release.sh FOLDER
# One line per file, "same" or "differs"; exit status 1 when any differs.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
published=$(cd "${1:?names the folder of the published release}" && pwd)
[ -f "$published/SHA256SUMS" ] || { echo "no SHA256SUMS in $published" >&2; exit 2; }
args=()
[ -d "$published/signatures" ] && args=(--attach-signatures "$published/signatures")
if ! bash "$root/scripts/release.sh" "${args[@]}" >/dev/null; then
    echo "the rebuild failed: with published signatures, they do not belong to these files" >&2
    exit 1
fi
rebuilt=$root/build/release
differs=0
while read -r sum name; do
    name=${name#\*}
    theirs=$sum
    [ -f "$published/$name" ] && theirs=$(sha256sum "$published/$name" | cut -d' ' -f1)
    ours=$(sha256sum "$rebuilt/$name" 2>/dev/null | cut -d' ' -f1 || true)
    if [ "$sum" = "$ours" ] && [ "$theirs" = "$ours" ]; then
        echo "same     $name"
    else
        echo "differs  $name"
        differs=1
        [ -f "$published/$name" ] && echo "         diffoscope \"$published/$name\" \"$rebuilt/$name\" shows how"
    fi
done <"$published/SHA256SUMS"
exit $differs
