#!/usr/bin/env bash
# The command line as an admin meets it: help, a wrong option, no display.
# usage: command_line_test.sh KESROW [desktop|headless]
set -u
kesrow=$1 build=${2:-desktop}
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
failed=0
check() {  # expected-status description command...
    local want=$1 what=$2
    shift 2
    "$@" >"$out" 2>"$err" </dev/null
    local got=$?
    if [ "$got" != "$want" ]; then
        echo "FAIL $what: status $got, not $want"; cat "$out" "$err"; failed=1
    fi
}
check 0 "--help" "$kesrow" --help
grep -q -- '--console' "$out" || { echo "FAIL --help names no --console"; failed=1; }
check 2 "unknown option" "$kesrow" --bogus
grep -q 'Usage:' "$err" || { echo "FAIL unknown option prints no usage"; failed=1; }
check 2 "a month that is none" "$kesrow" --report 2026-13
check 2 "--csv without --report" "$kesrow" --csv
if [ "$build" = desktop ]; then
    for display in "" ":97"; do
        check 1 "no display '$display'" env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" "$kesrow"
        [ "$(wc -l <"$err")" = 1 ] && grep -q -- '--console' "$err" ||
            { echo "FAIL no display '$display': not one line naming --console"; cat "$err"; failed=1; }
    done
else
    ! ldd "$kesrow" | grep -i qt || { echo "FAIL the headless build links Qt"; failed=1; }
fi
[ $failed = 0 ] && echo "PASS command line ($build)"
exit $failed
