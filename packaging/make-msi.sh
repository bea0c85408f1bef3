#!/usr/bin/env bash
# Makes the Windows Installer package: wixl from NetChange.wxs, completed by
# complete-msi.sh.
#   make-msi.sh OUTPUT VERSION PRODUCT_CODE MSI_VERSION EXE ACTIONS_DLL SETTINGS ICON
# The same inputs give the same package. wixl's choices may follow where
# things lie in its memory (it numbered placed actions so), which stays the
# same only without address-space randomisation, in the same environment
# and with paths of the same lengths: msitools run in a fresh folder of
# fixed length, on copies, with a cleared environment and the system's
# PATH. They also stamp the summary with the clock: a release
# (SOURCE_DATE_EPOCH) shows the commit's time, held still.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=$1 version=$2 product_code=$3 msi_version=$4
work=$(mktemp -d /tmp/netchange-msi.XXXXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$here/NetChange.wxs" "$here/complete-msi.sh" "$work/"
# The cabinet keeps the files' times.
cp -p "$5" "$work/NetChange.exe"
cp -p "$6" "$work/NetChangeMsiActions.dll"
mkdir "$work/msi"
cp -p "$7" "$work/msi/CHECKCDROM.ini"
cp -p "$8" "$work/NetChange.ico"
clock=()
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    clock=(faketime -f "$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')")
fi
msitool() { env -i PATH=/usr/bin:/bin TZ=UTC LC_ALL=C.UTF-8 setarch "$(uname -m)" -R "${clock[@]}" "$@"; }
cd "$work"
msitool wixl -a x86 -D ProductCode="$product_code" -D MsiVersion="$msi_version" -D Version="$version" \
    -D Exe=NetChange.exe -D Actions=NetChangeMsiActions.dll -D Settings=msi/CHECKCDROM.ini -D Icon=NetChange.ico \
    -o package.msi NetChange.wxs
msitool bash complete-msi.sh package.msi
cp package.msi "$out"
