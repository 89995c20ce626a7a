#!/bin/bash
# What a shared file, a full disk, an odd path or another user can do to the console copy, tried on the real
# program: every case must leave the office working. Runs as root in a mount, UTS and network namespace of its
# own (a full tmpfs as the share, a host name, a private /run/user, a dial-up line).
#   hardening_test.sh <kesrow>
source "$(dirname "$0")/../tools/process_lib.sh"
need_root
own_namespaces "--uts --net" "$0" "$@"
printf PC01 >/proc/sys/kernel/hostname || exit 1
work_folder hardening && KESROW=$(realpath "$1")
end_more() { umount "$SHARE" 2>/dev/null; }
dump() { for f in "$T"/*out "$T"/*err; do echo "--- $f"; cat -A "$f"; done; od -c "$SHARE/kesrow.txt" | head -5; }

share() {  # [status, FIFO or none]: a fresh share and an office folder whose pas.txt names it
    umount "$T/share" 2>/dev/null; rm -rf "$T/share" "$T/office" && demo_share "$T/office" "${1:-}" || return 1
    case ${1:-} in "") rm "$SHARE/kesrow.txt" ;; FIFO) rm "$SHARE/kesrow.txt" && mkfifo "$SHARE/kesrow.txt" ;; esac
}
copy() {  # [its input]: a console copy in the office folder
    printf '%s' "${1:-}" >"$T/in" && IN=$T/in start_copy copy "$T/office" -u XDG_RUNTIME_DIR LANG=C.UTF-8 "$KESROW" --console
}
started() { saw 10 "icon 1" "$T/copy.out" || fail "$1: no start"; }
stop() { kill -INT "$PID"; ended_with "$PID" 0 || fail "the copy did not end with 0 on SIGINT"; }
err_has() { grep -qF -- "$1" "$T/copy.err"; }

# A full disk on the file server while a copy with a long host name claims and releases: the status is one whole
# line whenever it is read, and a log line that finds no room is left out whole, never torn.
share OK && mount -t tmpfs -o size=64k tmpfs "$SHARE" && printf 'OK\r\n' >"$SHARE/kesrow.txt"
LONG=PC-$(printf '%060d' 0) && printf %s "$LONG" >/proc/sys/kernel/hostname
cp932 "$(printf '%04061d' 0)が、 2026/01/01 1:00:00 接続"$'\r\n' >"$SHARE/kesrow.log"  # 5 bytes short of a page
cp "$SHARE/kesrow.log" "$T/log.full" && dd if=/dev/zero of="$SHARE/filler" bs=4k 2>/dev/null
sample() { local s; until [[ -e $T/sampled ]]; do s= && IFS= read -r -d '' s <"$SHARE/kesrow.txt"; [[ $s == @(OK|$LONG)$'\r\n'* ]] || echo "$s" >>"$T/torn"; done; }
spawn sample && SAMPLER=${PIDS[-1]} && copy && dial PC01
wait_until 10 status_is "$LONG" && hang_up PC01 || fail "full disk: no claim"
wait_until 10 eval '[[ $(grep -c "kesrow.log: No space left on device" "$T/copy.err") == 2 ]]' && status_is OK || fail "full disk: not said at the claim and the release"
touch "$T/sampled" && wait "$SAMPLER" && [[ ! -e $T/torn ]] || fail "full disk: the status read as $(cat -A "$T/torn")"
cmp -s "$T/log.full" "$SHARE/kesrow.log" || fail "full disk: a torn log line"
stop && printf PC01 >/proc/sys/kernel/hostname

# A FIFO in the status file's place neither blocks the start-up (recovery, at once) nor, when it comes later, a
# tick (said, and SIGTERM still ends it).
share FIFO && copy $'n\n'
ended_with "$PID" 0 && err_has "現在このコンピュータは、ネットワーク環境ではありません。" || fail "fifo: start-up hangs, fails or asks nothing"
share OK && copy && started "fifo later"
mkfifo "$SHARE/fifo" && mv -f "$SHARE/fifo" "$SHARE/kesrow.txt"
wait_until 10 err_has "$SHARE/kesrow.txt: 通常のファイルではありません" || fail "fifo later: no box"
# The release check cannot read it either: said, and the copy ends as failed.
kill -TERM "$PID" && ended_with "$PID" 1 || fail "fifo later: SIGTERM did not end the copy with 1"

# A link planted as a shared file is refused, never followed: said in one box naming it, the file it points at
# untouched, and the copy goes on.
for planted in kesrow.log kesrow.txt; do
    share OK && copy && printf 'OK\r\n' >"$T/victim" && started "link $planted"
    ln -s "$T/victim" "$SHARE/link" && mv -T "$SHARE/link" "$SHARE/$planted" && dial PC01
    wait_until 10 err_has "$SHARE/$planted: リンクです" || fail "link $planted: not said"
    rm "$SHARE/$planted" && printf 'OK\r\n' >"$SHARE/kesrow.txt"
    wait_until 10 eval '[[ $(log_tokens) == "C:PC01 " ]]' || fail "link $planted: the copy did not go on"
    same_bytes "$T/victim" 'OK\r\n' && [[ $(grep -c '^\[ケスロウ\]$' "$T/copy.err") == 1 ]] || fail "link $planted: written through, or said again"
    hang_up PC01 && stop
done

# Through the recovery box: a path code page 932 cannot hold is refused, and offered again as the default.
share && mkdir "$T/café" && copy $'y\n'"$T/café/"$'\n'
ended_with "$PID" 1 && err_has $'pas.txt に保存できない文字が含まれています。\n別のパスを入力して下さい\n[ケスロウ]\nサーバパスを入力して下さい\n最後は￥でくくること\n['"$T/café/] (end of input)" ||
    fail "café: not refused with the answer as the default"

# The line comes free while the violation warning is held open: the copy claims and says so; ended then, the
# unload path writes the violation line once, then the release.
share PC02 && dial PC01 && copy
wait_until 10 err_has "直ちに切断して下さい" || fail "violation: no warning"
[[ ! -e $SHARE/kesrow.log ]] || fail "violation: logged while the warning is open"
printf 'OK\r\n' >"$SHARE/kesrow.txt" && wait_until 10 status_is PC01 && saw 10 "notice 回線が空きました" "$T/copy.out" || fail "violation: no claim and notice under the warning"
stop && hang_up PC01 && [[ $(log_tokens) == "C:PC01 V:PC01 D:PC01 " ]] || fail "violation: not one violation line before the release"

# Two computers of their own on one folder, each copy run by another user of group 2000: a sticky folder, a
# setgid group one, and one they may not write (its files writable). The status file keeps inode, owner and
# bits, no other file stays, and a log the first connect makes takes the status's bits.
umask 022 && chmod 711 "$T" && mkdir -m 700 /run/user/2001 /run/user/2002 && chown 2001 /run/user/2001 && chown 2002 /run/user/2002
declare -A COPY=()
user_copy() {  # <name> <uid>
    start_copy $1 "$T/office" -i LANG=C.UTF-8 unshare --uts --net sh -c 'hostname "$0" && exec setpriv --reuid "$1" --regid 2000 \
        --clear-groups "$2" --console' "$1" "$2" "$KESROW"
    COPY[$1]=$PID && saw 10 "icon 1" "$T/$1.out" || fail "$row: $1 did not start"
}
for row in "1777 0:0 0666 -" "2770 0:2000 0660 -" "0755 0:0 0666 0666"; do  # folder, owners, kesrow.txt, kesrow.log
    read -r folder owners mode log <<<"$row"
    share OK && chown "$owners" "$SHARE" "$SHARE/kesrow.txt" && chmod "$folder" "$SHARE" && chmod "$mode" "$SHARE/kesrow.txt"
    [[ $log == - ]] || install -m "$log" /dev/null "$SHARE/kesrow.log"
    before=$(stat -c '%i %u %g %a' "$SHARE/kesrow.txt") && user_copy PC01 2001 && user_copy PC02 2002
    for n in PC01 PC02; do
        dial $n nsenter -t "${COPY[$n]}" --net && wait_until 10 status_is $n && hang_up $n && wait_until 10 status_is OK || fail "$row: $n's claim and release"
    done
    [[ $(log_tokens) == "C:PC01 D:PC01 C:PC02 D:PC02 " && -z $(cat "$T/PC01.err" "$T/PC02.err") ]] || fail "$row: log $(log_tokens), or a box"
    [[ $(stat -c '%i %u %g %a' "$SHARE/kesrow.txt") == "$before" && $(stat -c %a "$SHARE/kesrow.log") == "${mode#0}" ]] || fail "$row: access"
    kill -TERM "${COPY[@]}" && ended_with "${COPY[PC01]}" 0 && ended_with "${COPY[PC02]}" 0 || fail "$row: a copy did not end with 0"
    [[ $(ls -A "$SHARE") == $'kesrow.log\nkesrow.txt' ]] || fail "$row: other files: $(ls -A "$SHARE")"  # presences gone with them
done
# The same users on the sticky folder, a box left open: PC02 dials while PC01 holds and its warning stays up;
# the line comes free meanwhile and PC02 claims it; ended, it writes the violation, then the release.
share OK && chmod 1777 "$SHARE" && chmod 0666 "$SHARE/kesrow.txt" && user_copy PC01 2001 && user_copy PC02 2002
dial PC01 nsenter -t "${COPY[PC01]}" --net && wait_until 10 status_is PC01 && dial PC02 nsenter -t "${COPY[PC02]}" --net &&
    saw 10 直ちに切断して下さい "$T/PC02.err" || fail "open box: PC02 not warned"
hang_up PC01 && wait_until 10 status_is PC02 && kill -TERM "${COPY[@]}" && ended_with "${COPY[PC02]}" 0 && status_is OK ||
    fail "open box: no claim under the warning, or no release at the end"
[[ $(log_tokens) == "C:PC01 D:PC01 C:PC02 V:PC02 D:PC02 " ]] || fail "open box: log $(log_tokens)"
echo "PASS"
