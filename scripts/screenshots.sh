#!/usr/bin/env bash
# Makes the README's pictures on the Wine taskbar desktop: the main dialog,
# the settings dialog, the About box, the flag window and the tray menu.
# They land in docs/ as PNG files.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" x86_64 >/dev/null

export NETCHANGE_WINE_STATE="$root/build/wine-shots"
trap 'bash "$root/scripts/wine-session.sh" stop' EXIT
shots="$root/build/shots"
rm -rf "$shots"
mkdir -p "$shots" "$root/docs"
# 100 % to 150 % on a laptop's screen; 200 % on a larger one, which the
# panel then needs.
for screen in 1280x800 2560x1600; do
    NETCHANGE_SCREEN=$screen bash "$root/scripts/wine-session.sh" start >/dev/null
    source "$root/scripts/wine-env.sh"
    dpis=()
    [ "$screen" = 1280x800 ] || dpis=(192)
    "${WINE[@]}" "$root/build/x86_64/screenshots.exe" "Z:${shots//\//\\}" "${dpis[@]}" </dev/null
done
for bmp in "$shots"/*.bmp; do
    png="$root/docs/$(basename "${bmp%.bmp}").png"
    convert-im6.q16 "$bmp" -strip "$png"
    echo "$png"
done
