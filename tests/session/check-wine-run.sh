#!/usr/bin/env bash
# scripts/wine-run.sh says how a program ended: having printed nothing, or
# timed out a little before CTest's limit (NETCHANGE_TEST_TIMEOUT, less 10 s).
#   check-wine-run.sh <source folder> <a program that runs until ended>
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"
run() { # expected status, then wine-run.sh's arguments; how it ended in $said
    local want=$1; shift
    timeout 20 bash "$root/scripts/wine-run.sh" "$@" >/dev/null 2>"$work/err"
    local status=$?
    said=$(grep '^wine-run: .* ended: ' "$work/err")
    expect "$* ended with $want (status $status)" [ "$status" = "$want" ]
}
says() { [[ $said == *"$1" ]]; }
root=$1
run 3 cmd /c exit 3
expect "silent exit: $said" says ", having printed nothing"
run 3 cmd /c "echo said & exit 3"
expect "exit after output: $said" says "or Wine's loader giving up"
NETCHANGE_TEST_TIMEOUT=11 run 124 "$2"
expect "outlived: $said" says "timed out after 1 s and was ended, having printed nothing"
finish
