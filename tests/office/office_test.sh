#!/bin/bash
# A small office on one machine: two computers (network, UTS and mount namespaces of their own, private
# /tmp and /run), one folder shared to each over SSHFS, real dial-up interfaces and one console copy per
# computer, through one day: a violation, the file server freezing while the holder is switched off, its
# line taken over, a computer whose clock is ahead. Every byte of the status file and the log is checked.
#   office_test.sh <kesrow>      (needs root)
source "$(dirname "$0")/../tools/process_lib.sh"
need_root
work_folder office
PCS=(PC01 PC02)
mkdir -p "$T/bin" && cp "$1" "$T/bin/" && KESROW=$T/bin/$(basename "$1")
declare -A COPY=()
dump() { sftp_servers -CONT 2>/dev/null; tail -n 20 "$T"/PC*/out "$T"/PC*/err; log_tokens; }  # a paused server would hold every copy
for n in "${PCS[@]}"; do computer $n && mkdir -p "$T/$n/share" && demo_share "$T/$n" OK "$T/$n/share/" && sftp_mount "$T/$n/share" on $n || fail "$n"; done

copy_start() {  # <name> [more environment...]
    spawn start_on "$1" --wd="$T/$1" -- env -i PATH=/usr/bin:/bin HOME="$T/$1" XDG_RUNTIME_DIR=/run/user/0 LANG=C.UTF-8 TZ=UTC \
        KESROW_PRESENCE_SECONDS=1,6 "${@:2}" "$KESROW" --console </dev/null >"$T/$1/out" 2>"$T/$1/err" && COPY[$1]=${PIDS[-1]}
}
held_icon() { echo "icon 2 ダイアルアップに$1さんが接続中"; }
gone_note() { echo "（$(date -u -d @"$(stat -c %Y "$SHARE/kesrow.${1,,}.presence")" +%-H:%M) から応答がありません）"; }
FREE_ICON="icon 1 ダイアルアップ接続している人はいません" UNKNOWN_ICON="icon 3 共有フォルダに接続できません（回線の状態は不明です）"
SILENT_NOTE="（共有フォルダが応答しません）"
icons() { tail -n +$((${2:-0} + 1)) "$T/$1/out" | grep '^icon '; }  # <name> [lines to skip]: its icon lines
icons_are() { for n in "${PCS[@]}"; do [[ $(icons $n | tail -n 1) == "$1" ]] || return 1; done; }
seen_by_all() { wait_until 10 status_is "$1" && wait_until 30 icons_are "$2" || fail "not every copy shows $2"; }
v_seconds() {  # of the violation lines since a byte offset, in the day
    tail -c +$(($1 + 1)) "$SHARE/kesrow.log" | utf8 | grep -o '[0-9:]* にありました' | awk -F '[: ]' '{ print $1 * 3600 + $2 * 60 + $3 }'
}
warned() {  # <name>: its standard error is one warning with two beeps for each violation line it wrote
    [[ $(cat "$T/$1/err") == "$(for v in $(grep -o "V:$1" <<<"$(log_tokens)"); do printf %s "$BOX_WARNING"; done)" ]]
}

echo "== a computer dials while another holds the line: warned, at most once per 5 s"
for n in "${PCS[@]}"; do copy_start $n; done
seen_by_all OK "$FREE_ICON"
dial PC01 start_on PC01
seen_by_all PC01 "$(held_icon PC01)"
LOG=$(log_size) && dial PC02 start_on PC02
wait_until 20 eval '(($(v_seconds $LOG | wc -l) >= 2))' || fail "PC02 wrote no two violation lines"
hang_up PC02 && mapfile -t v < <(v_seconds $LOG)
((v[1] - v[0] >= 4)) || fail "violation lines ${v[*]} s: the warning was not held"

echo "== the file server freezes, the holder is switched off meanwhile: its release abandoned, then taken over"
sftp_servers -STOP
wait_until 20 icons_are "$(held_icon PC01)$SILENT_NOTE" || fail "the prohibition sign did not say that the share is silent"
kill -TERM "${COPY[PC01]}"
# Its last file call waits for the server: ended, it stays a zombie until the thaw.
wait_until 10 eval '[[ ! $(ps -o stat= -p ${COPY[PC01]}) =~ ^[^Z] ]]' || fail "PC01 did not end with the server frozen"
mark=$(wc -l <"$T/PC02/out") && sftp_servers -CONT
ended_with "${COPY[PC01]}" 0 || fail "PC01's copy did not end with 0"
PCS=(PC02) && wait_until 30 icons_are "$(held_icon PC01)$(gone_note PC01)" || fail "PC01 not shown as gone"
LOG=$(log_size) && dial PC02 start_on PC02
seen_by_all PC02 "$(held_icon PC02)"
[[ $(icons PC02 $mark) == ?("$(held_icon PC01)"$'\n')"$(held_icon PC01)$(gone_note PC01)"$'\n'"$(held_icon PC02)" ]] ||
    fail "PC02's icons after the thaw"
tail -c +$((LOG + 1)) "$SHARE/kesrow.log" >"$T/takeover.log"
when=$(utf8 "$T/takeover.log" | sed -En '1s/^PC01が、 ([0-9/]{10}( [0-9:]{7,8})?) 切断.*/\1/p')
cmp -s "$T/takeover.log" <(cp932 "PC01が、 $when 切断（PC02が引き継ぎ）"$'\r\n'"PC02が、 $when 接続"$'\r\n') || fail "takeover lines"

echo "== PC01 comes back with its clock 2 hours ahead: it judges no running holder gone"
mark=$(wc -l <"$T/PC02/out") && hang_up PC01
# Only the wall clock: file times stay the server's, and timed waits work.
copy_start PC01 LD_PRELOAD="$(echo /usr/lib/*/faketime/libfaketime.so.1)" FAKETIME=+2h NO_FAKE_STAT=1 DONT_FAKE_MONOTONIC=1
PCS+=(PC01)
seen_by_all PC02 "$(held_icon PC02)"
LOG=$(log_size) && dial PC01 start_on PC01
wait_until 10 eval '[[ -s $T/PC01/err ]]' && hang_up PC01 && wait_until 10 warned PC01 || fail "PC01 not warned once for each violation line"
(( ($(v_seconds $LOG | tail -n 1) - $(date -u +%s) % 86400 - 7200 + 2 * 86400 + 60) % 86400 <= 120 )) || fail "PC01's clock not ahead"
sleep 12  # three gone limits in all
[[ $(icons PC01) == "$UNKNOWN_ICON"$'\n'"$FREE_ICON"$'\n'"$(held_icon PC02)" && -z $(icons PC02 $mark) ]] || fail "a holder judged gone"

echo "== every copy ends with 0, its boxes the warnings it logged"
for n in "${PCS[@]}"; do kill -TERM "${COPY[$n]}" && wait "${COPY[$n]}" || fail "$n ended with $?"; done
[[ $(log_tokens) =~ ^C:PC01\ (V:PC02\ )+T:PC01/PC02\ C:PC02\ (V:PC01\ )+D:PC02\ $ ]] || fail "the log: $(log_tokens)"
for n in "${PCS[@]}"; do warned $n || fail "$n's boxes: $(cat -A "$T/$n/err")"; done
echo "PASS office"
