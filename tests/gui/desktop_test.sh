#!/bin/bash
# The desktop copy on a virtual desktop (Xvfb, openbox, trayer), in a network
# namespace of its own (its X socket and dial-up line are private), driven
# with xdotool. With "notray" there is no notification area: the main form's
# window stands in for the icon. With "frozen" the shared folder is an SSHFS
# mount whose server is stopped while the copy holds the line.
#   desktop_test.sh <kesrow> <dialup_line> [notray|frozen]
source "$(dirname "$0")/../tools/process_lib.sh"
need_root
[[ -n ${KESROW_NETNS:-} ]] || KESROW_NETNS=1 exec unshare --net --mount --propagation private -- bash "$0" "$@"
# A /run/user of its own: the copies' instance lock is found by user id.
mount -t tmpfs -o mode=755 tmpfs /run/user && mkdir -m 700 /run/user/0 || exit 1
KESROW=$(realpath "$1") DIALUP_LINE=$(realpath "$2") MODE=${3:-tray}
work_folder gui
SHARE=$T/share
mkdir -p "$SHARE" "$T/office" "$T/home" "$T/bin" && mkdir -m 700 "$T/run"
printf 'OK\r\n' >"$SHARE/kesrow.txt"
printf 'PC01\x82\xaa\x81\x41 1998/09/03 10:15:00 \x90\xda\x91\xb1\r\n' >"$SHARE/kesrow.log"  # PC01 connected
printf '%s/\r\n' "$SHARE" >"$T/office/pas.txt"
unset DBUS_SESSION_BUS_ADDRESS  # a StatusNotifier host would take the icon from the X tray
export XDG_RUNTIME_DIR=$T/run HOME=$T/home
dump() { tail -n 5 "$T"/*.out "$T"/*.log; timeout 10 import -silent -window root "$T/failed.png"; echo "screen: $T/failed.png"; }
if [[ $MODE == frozen ]]; then
    # sshd on this namespace's loopback serves the share; the copy reads it through SSHFS.
    ip link set lo up && mkdir -p /run/sshd "$T/mnt" || fail "loopback"
    ssh-keygen -q -t ed25519 -N '' -f "$T/key" && cp "$T/key.pub" "$T/authorized_keys"
    printf '%s\n' "ListenAddress 127.0.0.1" "HostKey $T/key" "AuthorizedKeysFile $T/authorized_keys" "UsePAM no" \
        "PidFile none" "StrictModes no" "PasswordAuthentication no" "Subsystem sftp internal-sftp" >"$T/sshd_config"
    spawn /usr/sbin/sshd -D -e -f "$T/sshd_config" 2>>"$T/sshd.log"
    wait_until 10 sh -c 'ss -Htln | grep -q 127.0.0.1:22' || fail "sshd does not listen"
    spawn sshfs -f -o IdentityFile="$T/key",StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null,BatchMode=yes \
        -o dir_cache=no,attr_timeout=0,entry_timeout=0,negative_timeout=0 "root@127.0.0.1:$SHARE" "$T/mnt" 2>>"$T/sshfs.log"
    wait_until 10 test -e "$T/mnt/kesrow.txt" || fail "no share"
    printf '%s/\r\n' "$T/mnt" >"$T/office/pas.txt"
    sshd_all() { pgrep --ns $$ --nslist net -d ' ' sshd; }
    # Answering again first, so that everything can end.
    dump() { kill -CONT $(sshd_all) 2>/dev/null; tail -n 5 "$T"/*.out "$T"/*.log; }
    end_more() { umount -l "$T/mnt" 2>/dev/null; }
fi

spawn Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$T/display" >"$T/xvfb.log" 2>&1
wait_until 20 test -s "$T/display" || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$T/display")
wait_until 20 xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb does not answer"
printf 'Bell() shell "echo >>%s/bells"\n' "$T" >"$T/xkbevd.cf" && : >"$T/bells"
spawn xkbevd -cfg "$T/xkbevd.cf" >"$T/xkbevd.log" 2>&1
# trayer before openbox: a window mapped while openbox starts can stay unmapped.
if [[ $MODE != notray ]]; then
    for attempt in 1 2 3; do
        spawn trayer --edge top --align right --widthtype pixel --width 200 --height 32 >>"$T/trayer.log" 2>&1
        wait_until 10 xdotool search --onlyvisible --class trayer >/dev/null 2>&1 && break
        kill -TERM "${PIDS[-1]}" && ((attempt < 3)) || fail "trayer did not start"
    done
fi
spawn openbox --startup "touch $T/openbox.ready" >"$T/openbox.log" 2>&1
wait_until 20 test -e "$T/openbox.ready" || fail "openbox did not start"

# kesrow_start <name>: a copy in the office folder; its pid in PID.
kesrow_start() {
    spawn env -C "$T/office" -i PATH="$T/bin:/usr/bin:/bin" HOME="$HOME" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
        DISPLAY="$DISPLAY" LANG=C.UTF-8 QT_QPA_PLATFORM=xcb "$KESROW" </dev/null >"$T/$1.out" 2>&1
    PID=${PIDS[-1]}
}
titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [[ -n $(titled "$1") ]]; }
no_window() { ! has_window "$1"; }
key_to() {  # <title> <keys...>
    local w
    w=$(titled "$1") && [[ -n $w ]] || fail "no window titled $1"
    timeout 10 xdotool windowactivate --sync "$w" >/dev/null 2>&1
    xdotool key --delay 100 "${@:2}"
}
closes_with() { key_to "$1" "$2" && wait_until 10 no_window "$1" || fail "$2 did not close $1"; }
# The copy's icon: an untitled window with the XEmbed property, embedded in trayer.
tray_window() {
    local w root
    root=$(xwininfo -root | awk '/Window id:/ {print $4}')
    for w in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null); do
        xprop -id "$w" _XEMBED_INFO _NET_WM_NAME 2>/dev/null | grep -qz ' = .*= "kesrow"' || continue
        xwininfo -id "$w" -children | grep -q "Parent window id: $root" || { echo "$w"; return 0; }
    done
    return 1
}
# The normal picture is a dark blue figure; the prohibition sign is black and white.
figure_pixels() {
    timeout 10 import -silent -window "$(tray_window)" rgb:- 2>/dev/null |
        python3 -c 'import sys; d = sys.stdin.buffer.read(); print(sum(d[i + 2] - d[i] > 20 for i in range(0, len(d) - 2, 3)))'
}
shows_free() { (($(figure_pixels) > 20)); }
shows_held() { [[ $(figure_pixels) == 0 ]]; }
popup() {  # the copy's open popup menu: a window no window manager frames
    local w
    for w in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null); do
        xwininfo -id "$w" | grep -q 'Override Redirect State: yes' && { echo "$w"; return 0; }
    done
    return 1
}
choose() {  # <item 0..3> <title it opens>: from the tray menu's four items of equal height
    xdotool mousemove --window "$(tray_window)" 11 15 click 3
    wait_until 10 popup >/dev/null || fail "no popup menu"
    eval "$(xdotool getwindowgeometry --shell "$(popup)" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * (2 * $1 + 1) / 8)) click 1
    [[ -z ${2:-} ]] || wait_until 10 has_window "$2" || fail "item $1 did not open $2"
}
disconnects() { grep -o D: <<<"$(log_tokens)" | wc -l; }
# ends_releasing <how...>: a copy that holds the line ends with 0 and releases it.
ends_releasing() {
    local before
    wait_until 20 status_is "$(hostname)" || fail "the copy did not claim the line"
    before=$(disconnects)
    "$@"
    ended_with $PID 0 || fail "$* did not end the copy with 0"
    status_is OK && (($(disconnects) == before + 1)) || fail "$* did not release the line once"
}

kesrow_start copy
if [[ $MODE == notray ]]; then
    wait_until 20 has_window ケスロウ || fail "no main window without a tray"
    ! tray_window >/dev/null || fail "a tray icon without a tray"
    key_to ケスロウ space  # the first, focused button: 接続ログ
    wait_until 10 has_window 接続時間ログ情報 || fail "接続ログ did not open the log viewer"
    closes_with 接続時間ログ情報 Escape
    dial PC
    ends_releasing key_to ケスロウ alt+x
    echo "PASS desktop without a tray" && exit 0
fi
wait_until 20 tray_window >/dev/null || fail "no tray icon"
wait_until 10 shows_free || fail "not the normal picture"
if [[ $MODE == frozen ]]; then
    picture() { timeout 10 import -silent -window "$(tray_window)" rgb:- 2>/dev/null | md5sum; }
    # promptly <what> <command...>: polled without sleeping; the seconds taken are printed.
    promptly() {
        local start=$(date +%s%N)
        until "${@:2}" >/dev/null 2>&1; do (($(date +%s%N) - start < 2000000000)) || fail "$1: not within 2 s"; done
        echo "$1: $((($(date +%s%N) - start) / 1000000)) ms"
    }
    free=$(picture)
    dial PC
    wait_until 10 status_is "$(hostname)" && wait_until 10 shows_held || fail "the copy did not claim the line"
    held=$(picture)
    kill -STOP $(sshd_all)
    unknown() { local now; now=$(picture) && [[ $now != "$free" && $now != "$held" ]]; }
    wait_until 10 unknown || fail "no unknown picture while the share is frozen"
    xdotool mousemove --window "$(tray_window)" 11 15 click 3
    promptly "tray menu" popup
    eval "$(xdotool getwindowgeometry --shell "$(popup)" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * 5 / 8)) click 1
    promptly "About box" has_window ケスロウのﾊﾞｰｼﾞｮﾝ情報
    closes_with ケスロウのﾊﾞｰｼﾞｮﾝ情報 Escape
    choose 3
    promptly "icon gone after 終了" eval '! tray_window'
    # The main thread ends; the one inside the frozen call holds the process until the server answers.
    main_ended() { [[ $(awk '{print $3}' "/proc/$PID/stat") == Z ]]; }
    wait_until 6 main_ended || fail "終了 did not end the copy within 6 s"
    kill -CONT $(sshd_all)
    ended_with $PID 0 || fail "the copy did not end with 0"
    status_is "$(hostname)" || fail "the claim did not stay"
    echo "PASS desktop on a frozen share" && exit 0
fi
FIRST=$PID
kesrow_start second
wait_until 20 has_window ロードエラー || fail "a second copy showed no ロードエラー"
closes_with ロードエラー Return
ended_with $PID 0 || fail "the second copy did not end with 0"
PID=$FIRST

# A holder's name that looks like markup is shown as text: hovering over the
# icon neither ends the copy nor renders it (as wide as a plain name).
tooltip() {
    local w
    for w in $(xdotool search --onlyvisible --pid $PID 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP && { echo "$w"; return 0; }
    done
    return 1
}
hover_width() {  # <holder>: WIDTH of the tooltip while it holds the line
    printf '%s\r\n' "$1" >"$SHARE/kesrow.txt"
    wait_until 10 shows_held || fail "no prohibition sign for $1"
    for try in 1 2 3 4; do  # again when a busy machine let a pass go unseen
        xdotool mousemove 0 400 sleep 0.2 mousemove --window "$(tray_window)" 11 $((12 + try))
        wait_until 5 tooltip >/dev/null && break
    done
    WIDTH=$(xdotool getwindowgeometry --shell "$(tooltip)" | sed -n 's/^WIDTH=//p')
    [[ -n $WIDTH ]] && kill -0 $PID || fail "no tooltip for $1"
    # The tooltip lies over the icon: away with it before the icon is looked at.
    xdotool mousemove 0 400
    wait_until 10 eval '! tooltip >/dev/null' || fail "the tooltip for $1 stays"
    printf 'OK\r\n' >"$SHARE/kesrow.txt"
    wait_until 10 shows_free || fail "not the normal picture after $1"
}
hover_width 'PC9<img src="/dev/zero"><b>x</b>' && markup=$WIDTH
hover_width 'PC9_img_src=_/dev/zero___b_x__b_'  # as many characters
((markup * 10 >= WIDTH * 9)) || fail "markup rendered: $markup px wide, plain $WIDTH px"

# The icon follows eight changes of the status file, looked at every 100 ms,
# while a dialog is open too.
choose 0 接続時間ログ情報
end=$((SECONDS + 15))
for _ in 1 2 3 4; do
    printf 'PC09\r\n' >"$SHARE/kesrow.txt"
    wait_until $((end - SECONDS)) shows_held || fail "the icon did not show PC09's hold in time"
    printf 'OK\r\n' >"$SHARE/kesrow.txt"
    wait_until $((end - SECONDS)) shows_free || fail "the icon did not show the free line in time"
done
closes_with 接続時間ログ情報 Return

# The menu's dialogs; the About box starts the system information tool.
printf '#!/bin/sh\ntouch "%s/sysinfo"\n' "$T" >"$T/bin/hardinfo" && chmod +x "$T/bin/hardinfo"
cp "$T/office/pas.txt" "$T/pas.before"
choose 1 ケスロウ && closes_with ケスロウ Escape
cmp -s "$T/pas.before" "$T/office/pas.txt" || fail "a cancelled server path changed pas.txt"
choose 2 ケスロウのﾊﾞｰｼﾞｮﾝ情報 && key_to ケスロウのﾊﾞｰｼﾞｮﾝ情報 alt+s
wait_until 10 test -e "$T/sysinfo" || fail "Alt+S did not start the system information tool"
closes_with ケスロウのﾊﾞｰｼﾞｮﾝ情報 Escape

# Dialling while PC09 holds the line: a beep, the warning, a violation line
# once it is closed, another beep. The line is free by then: the copy claims it.
printf 'PC09\r\n' >"$SHARE/kesrow.txt"
wait_until 10 shows_held || fail "no prohibition sign"
rang() { (($(wc -l <"$T/bells") > bells)); }
bells=$(wc -l <"$T/bells")
dial PC
wait_until 10 has_window ケスロウ && wait_until 10 rang || fail "no beep and warning"
bells=$(wc -l <"$T/bells")
printf 'OK\r\n' >"$SHARE/kesrow.txt"
closes_with ケスロウ Return
wait_until 10 eval '[[ $(log_tokens) == "C:PC01 V:$(hostname) "* ]]' || fail "no violation line"
wait_until 10 rang || fail "no beep after the warning"

# A stop signal while a dialog is open, and the menu's 終了, release the line.
choose 0 接続時間ログ情報
ends_releasing kill -TERM $PID
for signal in INT HUP; do
    kesrow_start $signal
    ends_releasing kill -$signal $PID
done
kesrow_start last
wait_until 20 tray_window >/dev/null || fail "no tray icon"
ends_releasing choose 3
echo "PASS desktop"
