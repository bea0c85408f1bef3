#!/usr/bin/env bash
# The program's folders stand in one tower: app, panel, dialogs, ui,
# framework, each using only those below it. Reads every #include "…" of
# their sources and fails on an include of a higher folder (but for the two
# services of app that panel and dialogs use: the settings file and the
# start-with-Windows value) and on any loop between header/source pairs.
#   check-includes.sh <source folder>
set -u
cd "$1" || exit 1
source tests/support/checks.sh
tower=(framework ui dialogs panel app)
services=(app/DetectionSettings.h app/RunAtStartup.h)
level() { local i; for i in "${!tower[@]}"; do [ "${tower[$i]}" = "$1" ] && echo "$i" && return; done; echo -1; }

edges="$work/edges"
: >"$edges"
upward=0
for file in $(git ls-files "${tower[@]/%//*.h}" "${tower[@]/%//*.cpp}"); do
    from=${file%%/*}
    while read -r included; do
        to=${included%%/*}
        [ "$(level "$to")" -ge 0 ] || continue
        echo "${file%.*} ${included%.*}" >>"$edges"
        if [ "$(level "$to")" -gt "$(level "$from")" ] && ! [[ " ${services[*]} " == *" $included "* ]]; then
            fail "$file includes $included, from a higher floor"
            upward=$((upward + 1))
        fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done
expect "no include from a lower floor to a higher one but ${services[*]} ($upward found)" test "$upward" -eq 0
# tsort names the pairs of a loop on standard error.
loops=$(awk '$1 != $2' "$edges" | tsort 2>&1 >/dev/null)
expect "no loop between header/source pairs${loops:+: $(echo $loops)}" test -z "$loops"
finish
