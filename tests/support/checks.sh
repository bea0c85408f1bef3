# Sourced by the shell tests: each check prints "ok:" or "FAIL:", and
# finish ends the test with the count. $work is a scratch folder of the test.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }
expect() { # description, command...
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all checks passed"
}
