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
# (CTest's SKIP_RETURN_CODE), never passed.
if [ "${NETCHANGE_PROGRAM:-}" = i686 ] && [ -f "$NETCHANGE_WINE_STATE/no-i386" ]; then
    echo "SKIPPED: the i686 program cannot run here: $(cat "$NETCHANGE_WINE_STATE/no-i386")"
    exit 77
fi
exec "${WINE[@]}" "$@"
