#!/usr/bin/env bash
# Benchmarks NetChange against a bare dialog program (a static
# DialogBoxParamA with a comparable template), side by side in one run under
# Wine, and prints each figure with its ratio and target. Start-up and
# dispatch are measured for the shipped i686 program too, against the i686
# baseline, where this machine runs 32-bit code. Not a test: the figures
# depend on the machine; the ratios are what to read.
#   bench.sh [start-up rounds]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=${1:-15}
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" all >/dev/null

export NETCHANGE_WINE_STATE="$root/build/wine-bench"
# A screen that holds the panel at 300 % scaling.
NETCHANGE_SCREEN=2560x1600 bash "$root/scripts/wine-session.sh" start >/dev/null
work=$(mktemp -d)
cleanup() {
    bash "$root/scripts/wine-session.sh" stop
    rm -rf "$work"
}
trap cleanup EXIT
source "$root/scripts/wine-env.sh"
x64="$root/build/x86_64"
i686="$root/build/i686"

echo "NetChange benchmarks: $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(/usr/lib/wine/wine64 --version)"

# Each line says which build it measured.
label() { sed "s/^/$1 /"; }
no_i386=$(cat "$NETCHANGE_WINE_STATE/no-i386" 2>/dev/null || true)
if [ "$(cat "$NETCHANGE_WINE_STATE/i386-mode" 2>/dev/null)" = emulated ]; then
    no_i386="32-bit code runs here only through qemu-i386, whose times say nothing of Windows"
fi
[ -z "$no_i386" ] || echo "i686   not measured: $no_i386"

# Start-up: CreateProcess to the main dialog visible, medians, alternating.
"${WINE[@]}" "$x64/startup_bench.exe" "$rounds" | label "x86_64"
if [ -z "$no_i386" ]; then
    "${WINE[@]}" "$x64/startup_bench.exe" "$rounds" "Z:${i686//\//\\}" | label "i686  "
fi

# Dispatch: SendMessage round trips to a bound dialog against a plain one;
# the i686 run goes through the real 32-bit trampoline.
"${WINE[@]}" "$x64/dispatch_bench.exe" | label "x86_64"
if [ -z "$no_i386" ]; then
    "${WINE[@]}" "$i686/dispatch_bench.exe" | label "i686  "
fi

# The panel's background at 150, 200 and 300 % scaling, where the picture is
# stretched: an erase after the first against a BitBlt of the picture
# resampled the same way.
"${WINE[@]}" "$x64/erase_bench.exe" | label "x86_64"
if [ -z "$no_i386" ]; then
    "${WINE[@]}" "$i686/erase_bench.exe" | label "i686  "
fi

# A change of scaling under the running panel, from 96 to 288 DPI and back,
# against its first paint at 288 DPI, each in a process started at its DPI.
"${WINE[@]}" "$x64/dpi_change_bench.exe" | label "x86_64"
if [ -z "$no_i386" ]; then
    "${WINE[@]}" "$i686/dpi_change_bench.exe" | label "i686  "
fi

# Endurance: 1000 openings of each secondary dialog and 10000 private
# messages; what the process holds before and after.
"${WINE[@]}" "$x64/endurance_bench.exe" netchange | label "x86_64"
"${WINE[@]}" "$x64/endurance_bench.exe" bare | label "x86_64"

# Idle: CPU time a running program uses in 10 s of doing nothing, read from
# the kernel's per-thread accounting (nanoseconds) of its Wine process.
cpu_ns() {
    local total=0 task
    for task in /proc/"$1"/task/*/schedstat; do
        total=$((total + $(cut -d' ' -f1 "$task" 2>/dev/null || echo 0)))
    done
    echo "$total"
}
idle_ms() {
    local exe=$1 folder="$work/$(basename "$1" .exe)"
    mkdir -p "$folder"
    cp "$exe" "$folder/"
    (cd "$folder" && exec "${WINE[@]}" "./$(basename "$exe")" </dev/null >/dev/null 2>&1) &
    local pid=$!
    sleep 5
    local before; before=$(cpu_ns "$pid")
    sleep 10
    local after; after=$(cpu_ns "$pid")
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo $(((after - before) / 1000000))
}
ours=$(idle_ms "$x64/NetChange.exe")
bare=$(idle_ms "$x64/bare_dialog.exe")
echo "idle      NetChange ${ours} ms, bare dialog ${bare} ms of CPU in 10 s (target < 10 ms)"

# Size: the shipped i686 program's code and data, resources left out.
code_and_data() {
    local total=0 name size
    while read -r name size; do
        [ "$name" = .rsrc ] || total=$((total + 16#$size))
    done < <(i686-w64-mingw32-objdump -h "$1" | awk '$2 ~ /^\./ {print $2, $3}')
    echo "$total"
}
ours=$(code_and_data "$i686/NetChange.exe")
bare=$(code_and_data "$i686/bare_dialog.exe")
awk -v o="$ours" -v b="$bare" 'BEGIN {
    printf "size      NetChange %.1f KiB, bare dialog %.1f KiB of i686 code and data without resources: ratio %.2f (target <= 48 KiB)\n", o / 1024, b / 1024, o / b }'
