#!/usr/bin/env bash
# The README's run command: builds both programs and starts one on Wine's
# taskbar desktop: the shipped i686 program where this machine runs 32-bit
# code, else the x86_64 one; it says which. With a DISPLAY the desktop
# appears there and the command returns when the program ends. Without one
# it runs on a virtual display, saves a screenshot under build/ and prints
# its path.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" all >/dev/null

export NETCHANGE_WINE_STATE="$root/build/wine-run"
headless=1
if [ -n "${DISPLAY:-}" ]; then
    headless=0
    export KEEP_DISPLAY=1
fi
bash "$root/scripts/wine-session.sh" start
trap 'bash "$root/scripts/wine-session.sh" stop' EXIT
source "$root/scripts/wine-env.sh"

build=i686
view=32
if [ -f "$NETCHANGE_WINE_STATE/no-i386" ]; then
    build=x86_64
    view=64
    echo "running the x86_64 program: $(cat "$NETCHANGE_WINE_STATE/no-i386")"
elif [ "$(cat "$NETCHANGE_WINE_STATE/i386-mode")" = emulated ]; then
    echo "running the shipped i686 program through qemu-i386: it takes about a minute to start"
else
    echo "running the shipped i686 program"
fi

# The program keeps its settings beside itself: give it a folder of its own.
mkdir -p "$root/build/run"
cp "$root/build/$build/NetChange.exe" "$root/build/run/"
cd "$root/build/run"

if [ "$headless" = 0 ]; then
    "${WINE[@]}" ./NetChange.exe
    exit 0
fi

"${WINE[@]}" ./NetChange.exe </dev/null >/dev/null 2>&1 &
program=$!
# The panel registers the program to start with Windows as it comes up (the
# session cleared the value): then it, the flag and the tray icon are there.
for _ in $(seq 1 180); do
    "${WINE[@]}" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v VELMORNETCHANGE "/reg:$view" \
        </dev/null >/dev/null 2>&1 && break
    sleep 1
done
sleep 3
shot="$root/build/screenshot.png"
import -display "$DISPLAY" -window root "$shot"
echo "screenshot: $shot"
kill "$program" 2>/dev/null || true
