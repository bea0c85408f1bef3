#!/usr/bin/env bash
# Runs one Windows program under wine64 in the project's session; CTest uses it
# as the cross-compiling emulator. The session (scripts/wine-session.sh start)
# must be up, so that the wineserver is warm and no helper process of Wine
# inherits CTest's output pipe.
# --wine-locale=NAME among the arguments runs the test under that system
# locale instead of the session's.
args=()
for arg in "$@"; do
    case $arg in
        --wine-locale=*) export NETCHANGE_WINE_LOCALE=${arg#*=} ;;
        *) args+=("$arg") ;;
    esac
done
set -- "${args[@]}"
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

# No failure without its reason. The program's output goes out as it comes;
# Wine's own error messages go to a side log, and when the program fails,
# times out or dies, the test's output says how it ended and shows them.
out=$(mktemp)
errors=$(mktemp)
trap 'rm -f "$out" "$errors"' EXIT
# CTest would kill a test at its limit without a word: end it a little
# earlier and say so.
limit=()
if [ -n "${NETCHANGE_TEST_TIMEOUT:-}" ]; then
    limit=(timeout -k 5 $((NETCHANGE_TEST_TIMEOUT - 10)))
fi
WINEDEBUG=-all,err+all "${limit[@]}" "${WINE[@]}" "$@" 2> >(tee "$errors" | grep -Ev '^([0-9a-f]+:)?err:' >&2) |
    tee "$out"
status=${PIPESTATUS[0]}
wait $!
[ "$status" = 0 ] && exit 0
if [ ${#limit[@]} -gt 0 ] && [ "$status" = 124 ]; then
    how="timed out after $((NETCHANGE_TEST_TIMEOUT - 10)) s and was ended"
elif [ "$status" -gt 128 ]; then
    how="killed by signal $((status - 128)) ($(kill -l $((status - 128)) 2>/dev/null || echo unknown))"
else
    how="exit status $status: the low byte of the Windows exit code (0xC00000$(printf %02X "$status") for an unhandled exception), or Wine's loader giving up"
fi
[ -s "$out" ] || how="$how, having printed nothing"
echo "wine-run: $(basename "${1:-?}") ended: $how" >&2
if grep -Eq '^([0-9a-f]+:)?err:' "$errors"; then
    echo "wine-run: Wine's error messages:" >&2
    grep -E '^([0-9a-f]+:)?err:' "$errors" | head -n 50 >&2
else
    echo "wine-run: Wine printed no error message" >&2
fi
exit "$status"
