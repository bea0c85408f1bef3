#!/usr/bin/env bash
# Runs one Windows program under wine64 in the project's session; CTest uses it
# as the cross-compiling emulator. The session (scripts/wine-session.sh start)
# must be up, so that the wineserver is warm and no helper process of Wine
# inherits CTest's output pipe.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ ! -f "$NETCHANGE_WINE_STATE/display" ]; then
    echo "wine-run: no session in $NETCHANGE_WINE_STATE; run scripts/wine-session.sh start" >&2
    exit 125
fi
# An i686 test where this machine cannot run 32-bit code: reported skipped
# (CTest's SKIP_RETURN_CODE), never passed. Under emulation only the smoke
# set runs, each 32-bit start costing about 45 s, with its waits stretched
# by the factor that the smoke set's list gives.
if [ "${NETCHANGE_PROGRAM:-}" = i686 ]; then
    if [ -f "$NETCHANGE_WINE_STATE/no-i386" ]; then
        echo "SKIPPED: the i686 program cannot run here: $(cat "$NETCHANGE_WINE_STATE/no-i386")"
        exit 77
    fi
    if [ "$(cat "$NETCHANGE_WINE_STATE/i386-mode" 2>/dev/null)" = emulated ]; then
        smoke="$(dirname "${BASH_SOURCE[0]}")/../tests/emulated-smoke.txt"
        test=$(printf '%s\n' "$@" | sed -n 's/^--gtest_filter=//p')
        if [ -n "$test" ] && ! grep -qxF "$test" "$smoke"; then
            echo "SKIPPED: the i686 program runs here only under qemu-i386; of its tests only the smoke set runs (tests/emulated-smoke.txt)"
            exit 77
        fi
        NETCHANGE_TIME_SCALE=$(sed -n 's/^time-scale //p' "$smoke")
        export NETCHANGE_TIME_SCALE
    fi
fi
exec "${WINE[@]}" "$@"
