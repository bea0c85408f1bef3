#!/usr/bin/env bash
# The README's test command: installs what is missing, builds both programs
# and runs every test under wine64, ending with CTest's summary.
# Extra arguments go to ctest (for example -R Dispatch).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" all

# A screen that holds the panel at 300 % scaling.
NETCHANGE_SCREEN=2560x1600 NETCHANGE_DESKTOP_KEEPER="$root/build/x86_64/desktop_keeper.exe" \
    bash "$root/scripts/wine-session.sh" start
trap 'bash "$root/scripts/wine-session.sh" stop' EXIT
cd "$root/build/x86_64"
ctest --output-on-failure "$@"
