#!/usr/bin/env bash
# The command line as an admin meets it: help, a wrong option, no display.
# usage: command_line_test.sh KESROW [desktop|headless]
kesrow=$1 build=${2:-desktop} out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
# case | DISPLAY | arguments | exit status | text that stdout or stderr holds
while IFS='|' read -r name display args want text; do
    [[ $name == no\ display* && $build != desktop ]] && continue  # a headless build starts the console copy
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" "$kesrow" $args >"$out" 2>"$err" </dev/null
    got=$?
    [[ $got == "$want" ]] || problem="status $got, not $want"
    grep -q -- "$text" "$out" "$err" || problem="no '$text'"
    [[ $name != no\ display* || $(wc -l <"$err") == 1 ]] || problem="not one line"
    [[ -z ${problem:-} ]] || { echo "FAIL $name: $problem"; cat "$out" "$err"; exit 1; }
done <<'CASES'
help||--help|0|--console
unknown option||--bogus|2|Usage:
a month that is none||--report 2026-13|2|Usage:
a month with a sign||--report -999-01|2|Usage:
--csv without --report||--csv|2|Usage:
no display|||1|--console
no display :97|:97||1|--console
CASES
[[ $build == desktop ]] || ! ldd "$kesrow" | grep -i qt || { echo "FAIL the headless build links Qt"; exit 1; }
echo "PASS command line ($build)"
