#!/bin/bash
# The installed console copy as a user at a pipe meets it: the start-up boxes (the transcript on standard error,
# answers on standard input, pas.txt byte by byte), a stop signal inside a box, the icon following the status
# file; and the command line as an admin meets it: help, wrong options, --status and --report, which find the
# shared folder through the computer's <prefix>/etc/kesrow/pas.txt when the working directory has none.
#   console_test.sh <build dir>
source "$(dirname "$0")/../tools/process_lib.sh"
own_namespaces "" "$0" "$@"
work_folder console && SHARE=$T/share N=$T/share/
dump() { echo "--- stderr"; cat "$T/copy.err"; echo "--- stdout"; cat "$T/copy.out" "$T/out"; }
cmake --install "$1" --prefix "$T/pfx" >/dev/null && KESROW=$T/pfx/bin/kesrow || fail "cmake --install"

Q='[ケスロウ]\n現在このコンピュータは、ネットワーク環境ではありません。\nサーバパスの変更を行う時はＯＫを押して下さい\nOK? (y/N) '
P='[ケスロウ]\nサーバパスを入力して下さい\n最後は/でくくること\n'
REJECTED='[ケスロウ]\nサーバパスの最後は/でくくって下さい\n'
CHANGED='[ケスロウ]\nサーバパスの変更後はプログラムを終了します\n'

start() {  # <stdin>: a copy in $T/cwd; pas.txt names the share
    rm -rf "$T/cwd" "$T/run" && mkdir -p "$T/cwd" "$SHARE" && mkdir -m 700 "$T/run" && printf '%s' "$N" >"$T/cwd/pas.txt"
    IN=$1 start_copy copy "$T/cwd" XDG_RUNTIME_DIR="$T/run" "$KESROW" --console
}

# <case> <stdin> <transcript> <pas.txt as a printf format> <exit status>: no status file, so start-up asks; a
# box that meets the end of its input had nobody to answer (1: a service manager starts the copy again).
while IFS='|' read -r name input transcript pas status; do
    printf '%b' "$input" >"$T/in" && start "$T/in"
    ended_with $PID "$status" || fail "$name: exit status"
    [[ $(cat "$T/copy.err"; echo .) == "$(printf '%b.' "$transcript")" ]] || fail "$name: transcript"
    same_bytes "$T/cwd/pas.txt" "$pas" || fail "$name: pas.txt"
done <<ROWS
new path|y\n$T/new/\n|${Q}y\n${P}[$N] $T/new/\n$CHANGED|$T/new/\r\n|0
default accepted|yes\n\n|${Q}yes\n${P}[$N] \n$CHANGED|$N\r\n|0
only y or yes is OK|Y\n|${Q}Y\n|$N|0
end of input is Cancel||${Q}(end of input)\n|$N|1
rejected, then end of input|y\n/x\n|${Q}y\n${P}[$N] /x\n${REJECTED}${P}[/x] (end of input)\n|$N|1
ROWS

# A stop signal while the question waits runs the unload path: a line this computer holds meanwhile is released.
rm -f "$T/in" && mkfifo "$T/in" && exec 3<>"$T/in"
start /dev/fd/3
wait_until 10 grep -q 'OK? (y/N) $' "$T/copy.err" && printf '%s\r\n' "$(hostname)" >"$SHARE/kesrow.txt" || fail "no question"
kill -TERM $PID && ended_with $PID 0 || fail "SIGTERM in a box"
status_is OK && [[ $(log_tokens) == "D:$(hostname) " ]] || fail "SIGTERM in a box did not release the line"

# The copy looks at the status file every 100 ms: the icon follows eight changes in well under the time a slower
# poll would take. A name from the share is no terminal command.
printf 'OK\r\n' >"$SHARE/kesrow.txt" && start /dev/fd/3
icon_is() { [[ $(tail -n 1 "$T/copy.out") == "icon $1" ]]; }
end=$((SECONDS + 12))
for _ in 1 2 3 4; do
    printf 'PC09\033]0;\a\r\n' >"$SHARE/kesrow.txt"
    wait_until $((end - SECONDS)) icon_is '2 ダイアルアップにPC09\x1B]0;\x07さんが接続中' && printf 'OK\r\n' >"$SHARE/kesrow.txt" &&
        wait_until $((end - SECONDS)) icon_is "1 ダイアルアップ接続している人はいません" || fail "the icon did not follow"
done
kill -HUP $PID && ended_with $PID 0 || fail "SIGHUP did not end the copy with 0"

# --status and --report: the computer's pas.txt names the share.
mkdir -p "$T/pfx/etc/kesrow" "$T/empty" "$T/own"
printf '%s/share/\r\n' "$T" >"$T/pfx/etc/kesrow/pas.txt"
printf '%s/nowhere/\r\n' "$T" >"$T/own/pas.txt"   # a user's own pas.txt wins
LOG=$(cp932 $'PC02が、 2026/11/30 9:00:00 接続\r\n"PC,1が、 2026/11/30 9:10:00 接続"\r\nPC02が、 2026/11/30 9:30:00 切断\r\nPC02が、 2026/11/30 11:00:00 接続\r\n')

# case | working directory | status file (printf format; - none) | log (- none) | presences (host:age in
# seconds) | environment | arguments | exit | text in its output | status file afterwards (- as it was).
# Messages in Japanese under a Japanese locale (installed or not), else English; without a display, a
# desktop build says so in one line.
grep -q KESROW_WITH_QT:BOOL=OFF "$1/CMakeCache.txt" && desktop="" || desktop=1
while IFS='|' read -r name dir status log presences environment args code line after; do
    [[ $name != no\ display* || $desktop ]] || continue  # a headless build starts the console copy
    rm -f "$T/share/kesrow.txt" "$T/share/kesrow.log" "$T"/share/*.presence
    [[ $status == - ]] || printf "$status" >"$T/share/kesrow.txt"
    [[ $log == - ]] || printf '%s' "$LOG" >"$T/share/kesrow.log"
    for p in $presences; do h=${p%:*} && f=$T/share/kesrow.${h,,}.presence && cp932 "$h,回線を使用中"$'\r\n' >"$f" && touch -d "-${p#*:} sec" "$f"; done
    (cd "$T/$dir" && env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_MESSAGES LANG=C DISPLAY= $environment "$KESROW" $args \
        >"$T/out" 2>&1 </dev/null); got=$?
    [[ $got == "$code" ]] || fail "$name: exit status $got, not $code"
    [[ -z $line ]] || grep -qE -- "$line" "$T/out" || fail "$name: no line '$line'"
    [[ -z $after ]] || same_bytes "$T/share/kesrow.txt" "$after" || fail "$name: status $(od -c "$T/share/kesrow.txt")"
    [[ $name != no\ display* || $(wc -l <"$T/out") == 1 ]] || fail "$name: not one line"
    [[ $name != "release of a gone holder" ]] ||  # the marked disconnect, as the copies write lines
        [[ $(tail -n 1 "$T/share/kesrow.log" | utf8) =~ ^PC02が、\ [0-9/]+\ [0-9:]+\ 切断（[^）]+で解除）$'\r'$ ]] || fail "the release's log line"
done <<'CASES'
free|empty|OK\r\n|-|||--status|0|ダイアルアップ接続している人はいません
held, since the holder's last connect|empty|PC02\r\n|log|||--status|1|接続: 2026/11/30 11:00:00 \(
held, no log|empty|PC02\r\n|-|||--status|1|接続: 不明 \(接続ログに記録がありません\)
held by a name with a comma, its lines quoted|empty|"PC,1"\r\n|log|||--status|1|接続: 2026/11/30 9:10:00 \(
a name from the share is not a terminal command|empty|\033]0;x\a\r\n|-|||--status|1|ダイアルアップに"\\x1B]0;x\\x07"さんが接続中
status file emptied while a copy rewrites it|empty||-|||--status|3|
no status file|empty|-|-|||--status|3|
own pas.txt wins over the computer's|own|OK\r\n|-|||--status|3|
held, the holder answering|empty|PC02\r\n|-|PC02:20 PC03:0||--status|1|^在席: PC02  回線を使用中  最終応答 
held by a computer gone 3 minutes before another's presence|empty|PC02\r\n|-|PC02:200 PC03:0||--status|2|さんが接続中（[0-9/: ]* から応答がありません）$
a value with a blank names nobody|empty|OK \r\n|-|||--status|1|ダイアルアップに"OK "さんが接続中
a byte-order mark names nobody|empty|\xEF\xBB\xBFOK\r\n|-|||--status|1|ダイアルアップに".*OK"さんが接続中
release refused while the holder answers|empty|PC02\r\n|-|PC02:20 PC03:0||--release --yes|1|応答しています|PC02\r\n
release not confirmed without a terminal|empty|PC02\r\n|-|PC02:200 PC03:0||--release|1|端末から確認できない|PC02\r\n
release of a gone holder|empty|PC02\r\n|log|PC02:200 PC03:0||--release --yes|0|接続ログ: PC02が、 [0-9/: ]* 切断（.*で解除）$|OK\r\n
release forced while the holder answers|empty|PC02\r\n|-|PC02:0||--release --force --yes|0|回線を解除しました|OK\r\n
release of a value with a blank|empty|OK \r\n|-|||--release --yes|0|回線を解除しました|OK\r\n
release of a free line|empty|OK\r\n|-|||--release|0|解除するものはありません|OK\r\n
--yes without --release|empty|OK\r\n|-|||--status --yes|2|--yes and --force go with
the month as a spreadsheet reads it|empty|-|log|||--report 2026-11 --csv|0|^PC02,2,[0-9]*,[0-9:]*,0,1,0.$
no log to report|empty|-|-|||--report|3|
help|empty|-|-|||--help|0|-h, --help  print this
help, short|empty|-|-||LANG=ja_JP.UTF-8|-h|0|使い方: kesrow
help under LC_MESSAGES|empty|-|-||LC_MESSAGES=ja_JP.eucJP|--help|0|使い方:
LC_ALL before LANG|empty|-|-||LC_ALL=C LANG=ja_JP.UTF-8|--help|0|Usage:
unknown option|empty|-|-|||--bogus|2|unknown option --bogus
unknown option in Japanese|empty|-|-||LANG=ja_JP.UTF-8|--bogus|2|不明なオプションです: --bogus
a month that is none|empty|-|-|||--report 2026-13|2|2026-13 is no month
a month with a sign|empty|-|-||LANG=ja|--report -999-01|2|月の指定が正しくありません: -999-01
--csv without --report|empty|-|-|||--csv|2|--csv goes with
no display|empty|-|-||||1|--console runs without
no display :97|empty|-|-||LANG=ja_JP.UTF-8 DISPLAY=:97||1|画面なしでは kesrow --console
CASES

# A rotation left kesrow.log.2 (the oldest) and .1; the log is missing until the next connect.
printf '%s' "$LOG" >"$SHARE/kesrow.log.2" && cp932 $'PC02が、 2026/11/30 12:00:00 切断\r\nPC02が、 2026/11/30 23:00:00 接続\r\n' >"$SHARE/kesrow.log.1"
cp932 $'PC02が、 2026/12/01 0:30:00 切断\r\n' >"$SHARE/kesrow.log"
for want in PC02,3,10800,3:00:00,0,0,0 'PC02,3,[0-9]*,[0-9:]*,0,1,0'; do
    (cd "$T/empty" && "$KESROW" --report 2026-11 --csv) | grep -q "^$want"$'\r$' && rm -f "$SHARE/kesrow.log" || fail "rotated logs: not $want"
done

[[ $desktop ]] || ! ldd "$KESROW" | grep -i qt || fail "the headless build links Qt"
echo "PASS console"
