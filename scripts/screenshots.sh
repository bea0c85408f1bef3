#!/usr/bin/env bash
# Makes the README's pictures on the Wine taskbar desktop: the main dialog,
# the settings dialog, the About box, the flag window and the tray menu.
# They land in docs/ as PNG files.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" x86_64 >/dev/null

export NETCHANGE_WINE_STATE="$root/build/wine-shots"
bash "$root/scripts/wine-session.sh" start >/dev/null
trap 'bash "$root/scripts/wine-session.sh" stop' EXIT
source "$root/scripts/wine-env.sh"

shots="$root/build/shots"
rm -rf "$shots"
mkdir -p "$shots" "$root/docs"
"${WINE[@]}" "$root/build/x86_64/screenshots.exe" "Z:${shots//\//\\}" </dev/null
for bmp in "$shots"/*.bmp; do
    png="$root/docs/$(basename "${bmp%.bmp}").png"
    convert-im6.q16 "$bmp" -strip "$png"
    echo "$png"
done
