#!/bin/bash
# The console copy as a user at a pipe meets it: the start-up boxes (the
# transcript on standard error, answers on standard input, pas.txt byte by
# byte), a stop signal inside a box, and the icon following the status file.
#   console_test.sh <kesrow>
source "$(dirname "$0")/../tools/process_lib.sh"
source "$(dirname "$0")/../own_runtime.sh"
KESROW=$(realpath "$1")
work_folder console
SHARE=$T/share
dump() { echo "--- stderr"; cat "$T/err"; echo "--- stdout"; cat "$T/out"; }

Q='[ケスロウ]\n現在このコンピュータは、ネットワーク環境ではありません。\nサーバパスの変更を行う時はＯＫを押して下さい\nOK? (y/N) '
P='[ケスロウ]\nサーバパスを入力して下さい\n最後は/でくくること\n'
REJECTED='[ケスロウ]\nサーバパスの最後は/でくくって下さい\n'
CHANGED='[ケスロウ]\nサーバパスの変更後はプログラムを終了します\n'
N=$T/share/

# start <stdin>: a copy in $T/cwd; pas.txt names the share.
start() {
    rm -rf "$T/cwd" "$T/run" && mkdir -p "$T/cwd" "$SHARE" && mkdir -m 700 "$T/run"
    printf '%s' "$N" >"$T/cwd/pas.txt"
    spawn env -C "$T/cwd" XDG_RUNTIME_DIR="$T/run" "$KESROW" --console <"$1" >"$T/out" 2>"$T/err"
    PID=${PIDS[-1]}
}

# <case> <stdin> <transcript> <pas.txt as a printf format> <exit status>: no
# status file, so start-up asks; a box that meets the end of its input had
# nobody to answer (1: a service manager starts the copy again).
while IFS='|' read -r name input transcript pas status; do
    printf '%b' "$input" >"$T/in" && start "$T/in"
    ended_with $PID "$status" || fail "$name: exit status"
    [[ $(cat "$T/err"; echo .) == "$(printf '%b.' "$transcript")" ]] || fail "$name: transcript"
    cmp -s "$T/cwd/pas.txt" <(printf "$pas") || fail "$name: pas.txt"
done <<ROWS
new path|y\n$T/new/\n|${Q}y\n${P}[$N] $T/new/\n$CHANGED|$T/new/\r\n|0
default accepted|yes\n\n|${Q}yes\n${P}[$N] \n$CHANGED|$N\r\n|0
cancel|n\n|${Q}n\n|$N|0
only y or yes is OK|Y\n|${Q}Y\n|$N|0
end of input is Cancel||${Q}(end of input)\n|$N|1
rejected, then end of input|y\n/x\n|${Q}y\n${P}[$N] /x\n${REJECTED}${P}[/x] (end of input)\n|$N|1
ROWS

# A stop signal while the question waits runs the unload path: a line this
# computer holds meanwhile is released.
rm -f "$T/in" && mkfifo "$T/in" && exec 3<>"$T/in"
start /dev/fd/3
wait_until 10 grep -q 'OK? (y/N) $' "$T/err" || fail "no question"
printf '%s\r\n' "$(hostname)" >"$SHARE/kesrow.txt"
kill -TERM $PID
ended_with $PID 0 || fail "SIGTERM in a box"
status_is OK && [[ $(log_tokens) == "D:$(hostname) " ]] || fail "SIGTERM in a box did not release the line"

# The copy looks at the status file every 100 ms: the icon follows eight
# changes in well under the time a slower poll would take.
printf 'OK\r\n' >"$SHARE/kesrow.txt" && start /dev/fd/3
icon_is() { [[ $(tail -n 1 "$T/out") == "icon $1" ]]; }
end=$((SECONDS + 12))
for _ in 1 2 3 4; do
    printf 'PC09\r\n' >"$SHARE/kesrow.txt"
    wait_until $((end - SECONDS)) icon_is "2 ダイアルアップにPC09さんが接続中" || fail "the icon did not follow"
    printf 'OK\r\n' >"$SHARE/kesrow.txt"
    wait_until $((end - SECONDS)) icon_is "1 ダイアルアップ接続している人はいません" || fail "the icon did not follow"
done
kill -HUP $PID && ended_with $PID 0 || fail "SIGHUP did not end the copy with 0"
echo "PASS console"
