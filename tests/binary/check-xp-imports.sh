#!/usr/bin/env bash
# The shipped program must start on Windows XP SP3: Windows refuses to load
# a program or DLL that imports a function its DLL lacks, or whose subsystem
# version is newer than its own. Checks the import tables of the i686
# program and of the package's custom action against the list of functions
# known to XP (xp-imports.txt).
#   check-xp-imports.sh <i686 exe or dll>...
set -u
here=$(dirname "${BASH_SOURCE[0]}")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
allowed=$(grep -v -e '^#' -e '^$' "$here/xp-imports.txt" | sort -u)

check() {
    local exe=$1
    [ -f "$exe" ] || { fail "$exe is missing"; return; }
    local headers; headers=$(i686-w64-mingw32-objdump -p "$exe")

    # "dll function" for every import, DLL names in lower case; an import by
    # ordinal has no name and is listed as such.
    local imports; imports=$(echo "$headers" | awk '
        /DLL Name:/ { dll = tolower($3); next }
        dll && /^\t[0-9a-f]+\t/ { print dll, (NF >= 3 ? $3 : "ordinal:" $2) }' | sort -u)
    [ -n "$imports" ] || fail "$exe: no imports found"
    local import
    while read -r import; do
        [ -n "$import" ] || continue
        grep -qxF "$import" <<<"$allowed" || fail "$exe imports $import, which is not known to exist on Windows XP SP3"
    done <<<"$imports"
    echo "$exe: $(wc -l <<<"$imports") imports checked"

    # XP loads programs whose subsystem version is at most 5.1.
    local major minor
    major=$(echo "$headers" | awk '/MajorSubsystemVersion/ {print $2}')
    minor=$(echo "$headers" | awk '/MinorSubsystemVersion/ {print $2}')
    if [ -z "$major" ] || [ $((major * 100 + minor)) -gt 501 ]; then
        fail "$exe: subsystem version ${major:-?}.${minor:-?} is newer than XP's 5.1"
    fi
}

for exe in "$@"; do
    check "$exe"
done
echo "$failures failed"
[ "$failures" -eq 0 ]
