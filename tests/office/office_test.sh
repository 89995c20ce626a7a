#!/bin/bash
# Three computers, one file server, real dial-up interfaces and one console
# copy per computer; every byte of the status file and the log is checked.
#
#   office_test.sh sshfs|smbnetfs <kesrow> <dialup_line>
#
# Needs root. Over smbnetfs the appends of several computers at once can
# lose lines (its SMB1 client seeks to the end once when it opens the log),
# so no scenario there has two computers append at the same moment.
set -u
VARIANT=$1
source "$(dirname "$0")/office_lib.sh"
office_init "$2" "$3"

PCS=(PC01 PC02 PC03)
BOX_WARNING=$'\a[ケスロウ]\nタスクバー内のアイコンに禁止マークがある時は電話接続をしてはいけません!!\n直ちに切断して下さい\n\a'
declare -A OUT_MARK=() ERR_MARK=()
LOG_MARK=0

step() { echo "== $*"; }
started() { (($(out_lines "$1") >= 2)); }

# Remembers where every copy's output and the log stand now.
mark() {
    local n
    for n in "${PCS[@]}"; do
        OUT_MARK[$n]=$(out_lines "$n")
        ERR_MARK[$n]=$(stat -c %s "$W/$n/err")
    done
    LOG_MARK=$(log_size)
}

err_since_mark() { tail -c +"$((ERR_MARK[$1] + 1))" "$W/$1/err"; }
new_tokens() { log_tokens "$LOG_MARK"; }
log_has() { grep -q "$1" <<<"$(new_tokens)"; }
err_has() { grep -q "$2" <<<"$(err_since_mark "$1")"; }

all_icons_are() {
    local n
    for n in "${PCS[@]}"; do icon_is "$n" "$1" || return 1; done
}

# expect_out <name> <line>...: exactly these icon lines since the mark.
expect_out() {
    local name=$1
    shift
    [[ $(out_since "$name" "${OUT_MARK[$name]}") == "$(printf '%s\n' "$@")" ]] ||
        office_fail "$name printed other icon lines than: $*"
}

expect_quiet() {  # <name>...: no box, no beep since the mark
    local n
    for n in "$@"; do
        [[ -z $(err_since_mark "$n") ]] || office_fail "$n showed a box: $(err_since_mark "$n")"
    done
}

expect_tokens() {  # <regex>: the log lines since the mark
    local tokens
    tokens=$(new_tokens) || office_fail "log holds a line of an unknown shape"
    [[ $tokens =~ ^$1$ ]] || office_fail "log since mark is '$tokens', wanted '$1'"
}

count_of() { grep -o "$2" <<<"$1" | wc -l; }

# The offender's standard error: one warning per violation line it wrote.
warnings_match_log() {  # <name>
    local tokens count blocks=""
    tokens=$(new_tokens) || return 1
    count=$(count_of "$tokens" "V:$1 ")
    ((count >= 1)) || return 1
    for _ in $(seq "$count"); do blocks+=$BOX_WARNING; done
    [[ $(err_since_mark "$1") == "$blocks" ]]
}

claim_seen_by_all() {  # <name>
    wait_until 10 status_is "$1" || office_fail "$1 did not claim the line"
    wait_until 10 all_icons_are "$(held_icon "$1")" || office_fail "not every copy shows $1"
}

release_seen_by_all() {
    wait_until 10 status_is OK || office_fail "the line was not released"
    wait_until 10 all_icons_are "$(free_icon)" || office_fail "not every copy shows a free line"
}

# --- the office ---

step "office over $VARIANT"
server_machine_start
case $VARIANT in
sshfs) DAEMON=sshd ;;
smbnetfs) DAEMON=smbd ;;
*) office_fail "unknown variant $VARIANT" ;;
esac
"${DAEMON}_prepare"
"server_daemon_start_$DAEMON"
for i in "${!PCS[@]}"; do
    computer_start "${PCS[$i]}" $((i + 1))
    "mount_$VARIANT" "${PCS[$i]}"
done
printf 'OK\r\n' >"$(office_status_file)"
for n in "${PCS[@]}"; do
    : >"$W/$n/out"; : >"$W/$n/err"
    copy_start "$n"
done
for n in "${PCS[@]}"; do
    wait_until 10 started "$n" || office_fail "$n did not start"
done
mark
for n in "${PCS[@]}"; do OUT_MARK[$n]=0; done
for n in "${PCS[@]}"; do expect_out "$n" "$(free_icon)" "$(free_icon)"; done

step "a second copy on one computer is refused; the others are computers of their own"
mark
in_machine PC01 --wd="$W/PC01" -- env -i HOME="$W/PC01/home" XDG_RUNTIME_DIR=/run/user/0 \
    "$W/bin/kesrow" --console </dev/null >"$W/second.out" 2>"$W/second.err" ||
    office_fail "the second copy did not end with 0"
[[ $(cat "$W/second.err") == $'[ロードエラー]\nこのアプリケーションはすでに開かれています。' ]] ||
    office_fail "second copy said: $(cat "$W/second.err")"
[[ ! -s $W/second.out ]] || office_fail "the second copy showed an icon"
for n in "${PCS[@]}"; do copy_running "$n" || office_fail "$n ended"; done

step "one computer dials and hangs up"
mark
dial PC01
claim_seen_by_all PC01
hang_up PC01
release_seen_by_all
for n in "${PCS[@]}"; do expect_out "$n" "$(held_icon PC01)" "$(free_icon)"; done
expect_tokens "C:PC01 D:PC01 "
expect_quiet "${PCS[@]}"

step "a second computer dials while the first holds the line"
mark
dial PC01
claim_seen_by_all PC01
dial PC02
wait_until 15 log_has V:PC02 || office_fail "PC02 wrote no violation line"
hang_up PC02
wait_until 10 warnings_match_log PC02 || office_fail "PC02's warnings do not match its violation lines"
status_is PC01 || office_fail "PC02 took the line"
expect_tokens "C:PC01 (V:PC02 )+"
expect_quiet PC01 PC03
for n in "${PCS[@]}"; do expect_out "$n" "$(held_icon PC01)"; done
hang_up PC01
release_seen_by_all
expect_tokens "C:PC01 (V:PC02 )+D:PC01 "
for n in "${PCS[@]}"; do expect_out "$n" "$(held_icon PC01)" "$(free_icon)"; done

step "two computers dial within the same 100 ms"
if [[ $VARIANT == smbnetfs ]]; then
    # Two claims at one moment mean two appends at one moment, and over
    # smbnetfs those can land on one offset: a connect line is lost. That
    # known limit is not a behaviour of the program to be checked here.
    echo "skipped over smbnetfs: simultaneous appends can lose a line"
else
    # The file server stops answering while both lines come up, so that each
    # copy's status read waits there; answered at one instant, both read "OK"
    # and both claim. When one copy still sees the other's claim first, that
    # is the ordinary outcome of a later dial: it is checked as such and the
    # attempt repeated.
    both_claimed=""
    for attempt in 1 2 3; do
        mark
        sessions=$(sftp_sessions)
        kill -STOP $sessions || office_fail "no SFTP session to stop"
        dial PC02
        dial PC03
        sleep 0.2  # both copies' reads wait at the server
        kill -CONT $sessions
        wait_until 15 log_has "V:" || office_fail "no violation after both dialled"
        winner=$(iconv -f CP932 -t UTF-8 "$(office_status_file)" | tr -d '\r\n')
        [[ $winner == PC02 || $winner == PC03 ]] || office_fail "status names '$winner'"
        loser=PC02; [[ $winner == PC02 ]] && loser=PC03
        wait_until 10 all_icons_are "$(held_icon "$winner")" || office_fail "not every copy shows $winner"
        hang_up "$loser"
        wait_until 10 warnings_match_log "$loser" || office_fail "$loser's warnings do not match its violation lines"
        claims="(C:PC02 C:PC03 |C:PC03 C:PC02 )"
        grep -q "C:$loser" <<<"$(new_tokens)" || claims="C:$winner "
        expect_tokens "$claims(V:$loser )+"
        expect_quiet PC01 "$winner"
        hang_up "$winner"
        release_seen_by_all
        expect_tokens "$claims(V:$loser )+D:$winner "
        for n in "${PCS[@]}"; do
            lines=$(out_since "$n" "${OUT_MARK[$n]}")
            [[ $lines =~ ^("$(held_icon PC02)"$'\n'|"$(held_icon PC03)"$'\n')*"$(held_icon "$winner")"$'\n'"$(free_icon)"$ ]] ||
                office_fail "$n printed: $lines"
        done
        [[ $claims == C:$winner\  ]] || { both_claimed=yes; break; }
        echo "attempt $attempt: only $winner claimed"
    done
    [[ -n $both_claimed ]] || office_fail "the two copies never claimed within one interval"
fi

step "the holder is killed; restarted, it releases the line"
mark
dial PC01
claim_seen_by_all PC01
copy_stop PC01 KILL && office_fail "PC01 survived SIGKILL"
hang_up PC01
sleep 1
status_is PC01 || office_fail "the claim of the killed copy went away"
copy_start PC01
release_seen_by_all
expect_out PC01 "$(held_icon PC01)" "$(free_icon)" "$(held_icon PC01)" "$(free_icon)"
for n in PC02 PC03; do expect_out "$n" "$(held_icon PC01)" "$(free_icon)"; done
expect_tokens "C:PC01 D:PC01 "
expect_quiet "${PCS[@]}"

step "the file server stops for 5 s"
mark
cp "$(office_log_file)" "$W/log.before"
server_daemon_stop
sleep 5
"server_daemon_start_$DAEMON"
for n in "${PCS[@]}"; do
    wait_until 20 err_has "$n" "^${SHARE[$n]}/kesrow.txt: " ||
        office_fail "$n did not say that the share is gone"
    wait_until 20 icon_is "$n" "$(free_icon)" || office_fail "$n did not read the share again"
done
dial PC02
claim_seen_by_all PC02
hang_up PC02
release_seen_by_all
for n in "${PCS[@]}"; do
    copy_running "$n" || office_fail "$n ended"
    err=$(err_since_mark "$n")
    [[ $(count_of "$err" '^\[ケスロウ\]$') == 1 && $(grep -c "^${SHARE[$n]}/kesrow.txt: ." <<<"$err") == 1 ]] ||
        office_fail "$n said other than once that the share is gone: $err"
    # Unknown while the share is away; back, the first reading is a change.
    expect_out "$n" "$(unknown_icon)" "$(free_icon)" "$(held_icon PC02)" "$(free_icon)"
done
cmp -s -n "$(stat -c %s "$W/log.before")" "$W/log.before" "$(office_log_file)" ||
    office_fail "the log lost lines written before the outage"
expect_tokens "C:PC02 D:PC02 "

step "SIGTERM on the holder releases the line"
mark
dial PC03
claim_seen_by_all PC03
copy_stop PC03 TERM || office_fail "PC03 ended with $? on SIGTERM"
status_is OK || office_fail "PC03 did not release the line"
expect_tokens "C:PC03 D:PC03 "
hang_up PC03
for n in PC01 PC02; do wait_until 10 icon_is "$n" "$(free_icon)" || office_fail "$n does not show a free line"; done
expect_out PC03 "$(held_icon PC03)"
expect_quiet "${PCS[@]}"

step "every copy ends with 0 on SIGTERM"
for n in PC01 PC02; do copy_stop "$n" TERM || office_fail "$n ended with $?"; done
log_tokens >/dev/null || office_fail "the log holds a line of an unknown shape"
echo "PASS office over $VARIANT"
