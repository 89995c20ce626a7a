#!/bin/bash
# What a shared file, a full disk or an odd path can do to the console copy,
# tried on the real program: every case must leave the office working. Runs
# as root in a mount, UTS and network namespace of its own (a full tmpfs as
# the share, a host name of its own, a private /run/user, a dial-up line).
#   hardening_test.sh <kesrow> <dialup_line>
source "$(dirname "$0")/../tools/process_lib.sh"
need_root
if [[ -z ${KESROW_HARDENING_NS:-} ]]; then
    KESROW_HARDENING_NS=1 exec unshare --mount --uts --net --propagation private -- bash "$0" "$@"
fi
mount -t tmpfs -o mode=755 tmpfs /run/user && mkdir -m 700 /run/user/0 && printf PC01 >/proc/sys/kernel/hostname || exit 1
KESROW=$1 DIALUP_LINE=$2
work_folder hardening
SHARE=$T/share
end_more() { umount "$SHARE" 2>/dev/null; }
dump() { echo "--- stdout"; cat -A "$T/out"; echo "--- stderr"; cat -A "$T/err"; od -c "$SHARE/kesrow.txt" | head -5; }

# share [status: text, FIFO or none]: a fresh share and an office folder
# whose pas.txt points at it; copy [stdin text]: a console copy there.
share() {
    umount "$SHARE" 2>/dev/null
    rm -rf "$SHARE" "$T/office" && mkdir -p "$SHARE" "$T/office" && printf '%s/\r\n' "$SHARE" >"$T/office/pas.txt"
    case ${1:-} in "") ;; FIFO) mkfifo "$SHARE/kesrow.txt" ;; *) cp932 "$1"$'\r\n' >"$SHARE/kesrow.txt" ;; esac
}
copy() {
    printf '%s' "${1:-}" >"$T/in"
    spawn env -C "$T/office" -u XDG_RUNTIME_DIR LANG=C.UTF-8 "$KESROW" --console <"$T/in" >"$T/out" 2>"$T/err"
    PID=${PIDS[-1]}
}
stop() { kill -TERM "$PID"; ended_with "$PID" 0 || fail "the copy did not end with 0 on SIGTERM"; }
err_has() { grep -qF -- "$1" "$T/err"; }

# A full disk on the file server: the release fails and the status keeps
# its value whole, said once; with room again the copy releases by itself.
share
mount -t tmpfs -o size=64k tmpfs "$SHARE"
printf 'PC01\r\n' >"$SHARE/kesrow.txt"
dd if=/dev/zero of="$SHARE/filler" bs=4k 2>/dev/null
copy
wait_until 10 err_has "No space left on device" || fail "full disk: no box"
status_is PC01 || fail "full disk: the status file lost its value"
[[ $(grep -c '共有フォルダのファイルを読み書きできません' "$T/err") == 1 ]] || fail "full disk: not said once"
[[ -z $(find "$SHARE" -name '*.tmp') ]] || fail "full disk: a temporary file was left"
rm "$SHARE/filler"
wait_until 10 status_is OK || fail "full disk: no release once there was room"
stop

# A FIFO in the status file's place neither blocks the start-up (recovery,
# at once) nor, when it comes later, a tick (said, and SIGTERM still works).
share FIFO && copy $'n\n'
ended_with "$PID" 0 || fail "fifo: start-up hangs or fails"
err_has "現在このコンピュータは、ネットワーク環境ではありません。" || fail "fifo: no recovery question"
share OK && copy
wait_until 10 grep -q "icon 1" "$T/out" || fail "fifo later: no start"
mkfifo "$SHARE/fifo" && mv -f "$SHARE/fifo" "$SHARE/kesrow.txt"
wait_until 10 err_has "$SHARE/kesrow.txt: 通常のファイルではありません" || fail "fifo later: no box"
stop

# Through the recovery box: a path holding a comma is stored in quotes and
# read back whole at the next start; one code page 932 cannot hold is
# refused, and offered again as the default.
share
mkdir -p "$T/a,b" "$T/café"
printf 'OK\r\n' >"$T/a,b/kesrow.txt"
copy $'y\n'"$T/café/"$'\n\n'"$T/a,b/"$'\n'
ended_with "$PID" 0 || fail "comma: the recovery did not end with 0"
err_has $'pas.txt に保存できない文字が含まれています。\n別のパスを入力して下さい\n[ケスロウ]\nサーバパスを入力して下さい\n最後は￥でくくること\n['"$T/café/] " ||
    fail "café: not refused with the answer as the default"
cmp -s "$T/office/pas.txt" <(printf '"%s/"\r\n' "$T/a,b") || fail "comma: pas.txt"
copy
wait_until 10 grep -q "icon 1" "$T/out" || fail "comma: the stored path was not read back"
stop

# Ended while the violation warning is held open: the unload path writes
# the violation line, once.
share PC02
dial PC01
copy
wait_until 10 err_has "直ちに切断して下さい" || fail "violation: no warning"
[[ ! -e $SHARE/kesrow.log ]] || fail "violation: logged while the warning is open"
stop
[[ $(log_tokens) == "V:PC01 " ]] || fail "violation: not one violation line"
echo "PASS"
