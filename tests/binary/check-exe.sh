#!/usr/bin/env bash
# Checks the built programs from outside: PE type, subsystem, imported DLLs
# and the manifest's architecture.
#   check-exe.sh <i686 exe> <x86_64 exe>
set -u
i686=$1
x86_64=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }

# Windows' own DLLs: the runtime is linked in, so nothing else may appear.
system_dlls='^(ADVAPI32|COMCTL32|GDI32|KERNEL32|msvcrt|ole32|SHELL32|USER32)\.(dll|DLL)$'

check() {
    local exe=$1 type=$2 objdump=$3 arch=$4
    if [ ! -f "$exe" ]; then fail "$exe is missing"; return; fi
    local description; description=$(file -b "$exe")
    case "$description" in
        "$type"*) pass "$exe: $description" ;;
        *) fail "$exe: '$description', expected '$type'" ;;
    esac
    local dlls; dlls=$($objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
    [ -n "$dlls" ] || fail "$exe: no imports found"
    local dll
    for dll in $dlls; do
        if [[ "$dll" =~ $system_dlls ]]; then pass "$exe imports $dll"; else fail "$exe imports $dll"; fi
    done
    if grep -aq "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"[[:space:]]*processorArchitecture=\"$arch\"" "$exe" ||
       grep -aq "processorArchitecture=\"$arch\" publicKeyToken" "$exe"; then
        pass "$exe: manifest asks for common controls 6.0.0.0 ($arch)"
    else
        fail "$exe: no common-controls 6.0.0.0 dependency for $arch in the manifest"
    fi
    grep -aq 'level="asInvoker" uiAccess="false"' "$exe" && pass "$exe: asInvoker, no uiAccess" ||
        fail "$exe: execution level is not asInvoker without uiAccess"
    # Drawn for each screen's DPI (per monitor, v2 where Windows has it), in
    # the prefixed form XP SP3 passes over, and code page 936 whatever the
    # system locale (Windows 11).
    grep -azq '<asmv3:windowsSettings xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">[[:space:]]*<dpiAware>true/pm</dpiAware>[[:space:]]*<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>' "$exe" &&
        pass "$exe: per-monitor DPI-aware" || fail "$exe: the manifest does not declare per-monitor DPI awareness in XP's form"
    grep -aq '<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">zh-CN</activeCodePage>' "$exe" &&
        pass "$exe: code page of zh-CN" || fail "$exe: the manifest asks for no zh-CN code page"
    # GDI reads narrow text and face names in the system's code page, not the
    # program's: every text reaches it wide.
    local narrow; narrow=$($objdump -p "$exe" | awk '/DLL Name:/ { gdi = tolower($3) == "gdi32.dll"; next }
        gdi && /^\t[0-9a-f]+\t/ && $NF ~ /A$/ { printf " %s", $NF }')
    [ -z "$narrow" ] && pass "$exe: no GDI call takes narrow text" || fail "$exe: narrow GDI calls:$narrow"
}

check "$i686" "PE32 executable (GUI) Intel 80386" i686-w64-mingw32-objdump x86
check "$x86_64" "PE32+ executable (GUI) x86-64" x86_64-w64-mingw32-objdump amd64
echo "$failures failed"
[ "$failures" -eq 0 ]
