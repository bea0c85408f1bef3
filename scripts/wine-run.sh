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
exec "${WINE[@]}" "$@"
