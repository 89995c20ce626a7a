#!/usr/bin/env bash
# The command line as an admin meets it: help, a wrong option, no display,
# in Japanese under a Japanese locale (installed or not) and English otherwise.
# usage: command_line_test.sh KESROW [desktop|headless]
source "$(dirname "$0")/../tools/process_lib.sh" && work_folder command-line
kesrow=$1 build=${2:-desktop} out=$T/out err=$T/err
dump() { cat "$out" "$err"; }
# case | locale variables | DISPLAY | arguments | exit status | text that stdout or stderr holds
while IFS='|' read -r name locale display args want text; do
    [[ $name == no\ display* && $build != desktop ]] && continue  # a headless build starts the console copy
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_MESSAGES LANG=C $locale DISPLAY="$display" "$kesrow" $args >"$out" 2>"$err" </dev/null
    got=$?
    [[ $got == "$want" ]] && grep -q -- "$text" "$out" "$err" || fail "$name: status $got (not $want), or no '$text'"
    [[ $name != no\ display* || $(wc -l <"$err") == 1 ]] || fail "$name: not one line"
done <<'CASES'
help|||--help|0|-h, --help  print this
help, short|LANG=ja_JP.UTF-8||-h|0|使い方: kesrow
help under LC_MESSAGES|LC_MESSAGES=ja_JP.eucJP||--help|0|使い方:
LC_ALL before LANG|LC_ALL=C LANG=ja_JP.UTF-8||--help|0|Usage:
unknown option|||--bogus|2|unknown option --bogus
unknown option in Japanese|LANG=ja_JP.UTF-8||--bogus|2|不明なオプションです: --bogus
a month that is none|||--report 2026-13|2|2026-13 is no month
a month with a sign|LANG=ja||--report -999-01|2|月の指定が正しくありません: -999-01
--csv without --report|||--csv|2|--csv goes with
no display||||1|--console runs without
no display :97|LANG=ja_JP.UTF-8|:97||1|画面なしでは kesrow --console
CASES
[[ $build == desktop ]] || ! ldd "$kesrow" | grep -i qt || fail "the headless build links Qt"
echo "PASS command line ($build)"
