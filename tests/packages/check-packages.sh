#!/usr/bin/env bash
# Checks the shipped setup and portable zip from outside: their archives are
# opened with 7-Zip (the setup's installs are tested under Wine).
#   check-packages.sh <setup.exe> <portable.zip> <i686 NetChange.exe> <packaging folder>
set -u
setup=$1
zip=$2
exe=$3
packaging=$4
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"

for f in "$setup" "$zip" "$exe"; do
    [ -f "$f" ] || { echo "FAIL: $f is missing"; exit 1; }
done

description=$(file -b "$setup")
case "$description" in
    "PE32 executable (GUI) Intel 80386"*"Nullsoft Installer"*) pass "setup: $description" ;;
    *) fail "setup: '$description', expected a PE32 GUI Nullsoft installer" ;;
esac

# The archive's own listing: one path per line, as the installer will write it.
7z l -slt "$setup" >"$work/setup.txt" 2>&1 || fail "7-Zip cannot read $setup"
sed -n 's/^Path = //p' "$work/setup.txt" | tail -n +2 >"$work/setup-files.txt"
expect "setup is a Unicode NSIS 3 archive" grep -q '^SubType = NSIS-3 Unicode' "$work/setup.txt"
for name in NetChange.exe CHECKCDROM.ini uninst.exe; do
    expect "setup installs $name" grep -qx "$name" "$work/setup-files.txt"
done
unexpected=$(grep -v -x -e NetChange.exe -e CHECKCDROM.ini -e uninst.exe -e '\$PLUGINSDIR/.*' "$work/setup-files.txt")
expect "setup installs nothing else (${unexpected:-nothing})" test -z "$unexpected"

mkdir "$work/setup"
7z x -y -o"$work/setup" "$setup" NetChange.exe CHECKCDROM.ini >/dev/null 2>&1 || fail "7-Zip cannot extract from $setup"
expect "setup's NetChange.exe is the i686 build" cmp -s "$exe" "$work/setup/NetChange.exe"
expect "setup's default settings file turns the drive check off" \
    cmp -s <(printf '[CHECKFLAG]\r\nflag=0\r\n') "$work/setup/CHECKCDROM.ini"

# makensis is run with -WX in the build; here its output is shown and checked.
out=$(makensis -INPUTCHARSET UTF8 -V2 -DVERSION=0.0.0.0 -DEXE="$exe" -DOUTFILE="$work/NetChange-check-setup.exe" \
    "$packaging/NetChange.nsi" 2>&1)
status=$?
[ -z "$out" ] || echo "$out" | sed "s/^/    makensis: /"
expect "makensis builds the setup" test "$status" -eq 0
expect "makensis gives no warning" test -z "$(echo "$out" | grep -i warning)"

# The portable zip: the program and a Chinese readme that Notepad shows right.
unzip -Z1 "$zip" >"$work/zip-files.txt" 2>&1 || fail "cannot list $zip"
expect "zip holds exactly NetChange.exe and readme.txt ($(tr '\n' ' ' <"$work/zip-files.txt"))" \
    cmp -s <(printf 'NetChange.exe\nreadme.txt\n') <(sort "$work/zip-files.txt")
# Mode 0644 and no extra fields (zip -X): no owner ids or Unix times.
expect "zip entries: $(zipinfo "$zip" | awk '/^-/ { printf "%s %s; ", $1, $5 }')" \
    test "$(zipinfo "$zip" | awk '/^-/ { print $1, substr($5, 2) }' | sort -u)" = "-rw-r--r-- -"
unzip -p "$zip" NetChange.exe >"$work/zip-NetChange.exe" 2>/dev/null
expect "zip's NetChange.exe is the i686 build" cmp -s "$exe" "$work/zip-NetChange.exe"
unzip -p "$zip" readme.txt >"$work/readme.txt" 2>/dev/null
expect "readme starts with a UTF-8 byte order mark" test "$(head -c 3 "$work/readme.txt" | od -An -tx1 | tr -d ' ')" = efbbbf
expect "readme is valid UTF-8" iconv -f UTF-8 -t UTF-16 "$work/readme.txt" -o /dev/null
expect "readme has Windows line ends only" test "$(grep -c $'[^\r]$' "$work/readme.txt")" -eq 0
version=$(basename "$zip" | sed 's/^NetChange-\(.*\)-portable\.zip$/\1/')
expect "readme names version $version and the portable edition" grep -q "^.*VELMOR .* $version 便携版" "$work/readme.txt"

finish
