#!/bin/bash
# The desktop copy on a virtual desktop (Xvfb, openbox, then trayer) in a network namespace of its own (its X
# socket and dial-up line private), driven with xdotool: first without a notification area, where the main
# form's window stands in for the icon. The share is an SSHFS mount whose server freezes at the end while the
# copy holds the line. The second copy's box and the menu's other dialogs are met by the Windows copy's test.
#   desktop_test.sh <kesrow>
source "$(dirname "$0")/../tools/process_lib.sh"
source "$(dirname "$0")/screen_lib.sh"
need_root
own_namespaces --net "$0" "$@"
KESROW=$(realpath "$1")
work_folder gui
demo_share "$T/office" OK "$T/mnt/"
mkdir -p "$T/home" "$T/mnt" && mkdir -m 700 "$T/run" && export XDG_RUNTIME_DIR=$T/run HOME=$T/home
unset DBUS_SESSION_BUS_ADDRESS  # a StatusNotifier host would take the icon from the X tray
dump() { sftp_servers -CONT 2>/dev/null; tail -n 5 "$T"/*.out "$T"/*.err "$T"/*.log; shot failed; }  # the server answering again first
sftp_mount "$T/mnt"
end_more() { umount -l "$T/mnt" 2>/dev/null; }

start_screen notray  # trayer after openbox: a window mapped while openbox starts can stay unmapped
printf 'Bell() shell "echo >>%s/bells"\n' "$T" >"$T/xkbevd.cf" && : >"$T/bells" && spawn xkbevd -cfg "$T/xkbevd.cf" >"$T/xkbevd.log" 2>&1
spawn openbox --startup "touch $T/openbox.ready" >"$T/openbox.log" 2>&1
wait_until 20 test -e "$T/openbox.ready" || fail "openbox did not start"

kesrow_start() { start_copy "$1" "$T/office" -i PATH=/usr/bin:/bin HOME="$HOME" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
    DISPLAY="$DISPLAY" LANG=C.UTF-8 QT_QPA_PLATFORM=xcb "$KESROW"; }
ROOT=$(xwininfo -root | awk '/Window id:/ {print $4}')
# The copy's icon: an untitled window with the XEmbed property, embedded in trayer.
is_icon() {
    xprop -id "$1" _XEMBED_INFO _NET_WM_NAME 2>/dev/null | grep -qz ' = .*= "kesrow"' &&
        ! xwininfo -id "$1" -children | grep -q "Parent window id: $ROOT"
}
tray_window() { first_window is_icon --pid "$PID"; }
popup() { first_window is_popup --pid "$PID"; }
is_balloon() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _TOOLTIP; }
balloon() { first_window is_balloon --pid "$PID"; }
# The normal picture is a dark blue figure; the prohibition sign is black and white.
figure_pixels() {
    timeout 10 import -silent -window "$(tray_window)" rgb:- 2>/dev/null |
        python3 -c 'import sys; d = sys.stdin.buffer.read(); print(sum(d[i + 2] - d[i] > 20 for i in range(0, len(d) - 2, 3)))'
}
shows_free() { (($(figure_pixels) > 20)); }
shows_held() { [[ $(figure_pixels) == 0 ]]; }
ends_releasing() {  # <how...>: a copy that holds the line ends with 0 and writes one disconnect
    local log; wait_until 20 status_is "$(hostname)" || fail "the copy did not claim the line"
    log=$(log_size) && "$@"
    ended_with $PID 0 && status_is OK && [[ $(log_tokens "$log") == "D:$(hostname) " ]] || fail "$* did not end the copy releasing once"
}

kesrow_start window
wait_until 20 has_window ケスロウ && ! tray_window >/dev/null || fail "no main window, or an icon, without a tray"
key_to ケスロウ space  # the first, focused button: 接続ログ
wait_until 10 has_window 接続時間ログ情報 && shot window || fail "接続ログ did not open the log viewer"
closes_with 接続時間ログ情報 Escape
# A tray that comes later takes over from the window; the window comes back when it goes.
start_tray && wait_until 10 tray_window >/dev/null && wait_until 10 no_window ケスロウ || fail "the window stayed beside a later tray"
kill -TERM "${PIDS[-1]}" && wait_until 10 has_window ケスロウ || fail "the window did not come back without the tray"
dial PC
ends_releasing key_to ケスロウ alt+x && hang_up PC

start_tray && kesrow_start tray
wait_until 20 tray_window >/dev/null && wait_until 10 shows_free || fail "no tray icon with the normal picture"

# Dialling while PC09 holds the line: a beep and the warning. Ticks go on under it: the line comes free, the
# copy claims it and says so in a balloon.
printf 'PC09\r\n' >"$SHARE/kesrow.txt"
wait_until 10 shows_held || fail "no prohibition sign"
rang() { (($(wc -l <"$T/bells") > bells)); }
bells=$(wc -l <"$T/bells") && dial PC
wait_until 10 has_window ケスロウ && wait_until 10 rang || fail "no beep and warning"
xdotool mousemove 0 400  # off where the balloon comes: it stays while the pointer is on it
printf 'OK\r\n' >"$SHARE/kesrow.txt"
wait_until 10 balloon >/dev/null && shot balloon || fail "no balloon saying that the line is free"
wait_until 10 status_is "$(hostname)" && closes_with ケスロウ Return || fail "no claim under the warning"

# A stop signal while a dialog is open releases the line.
choose 0 接続時間ログ情報 && shot log_viewer
ends_releasing kill -TERM $PID
# The share freezes while a copy holds the line: the prohibition sign never leaves the tray; the menu and the
# About box answer, 終了 ends the copy within 6 s, and the claim stays.
kesrow_start frozen
wait_until 20 status_is "$(hostname)" && wait_until 20 shows_held || fail "the copy did not claim the line"
sftp_servers -STOP
for ((end = SECONDS + 12; SECONDS < end;)); do shows_held || fail "the prohibition sign left the tray on a frozen share"; sleep 0.2; done
MENU_WAIT=3 choose 2 ケスロウのﾊﾞｰｼﾞｮﾝ情報 && shot about && closes_with ケスロウのﾊﾞｰｼﾞｮﾝ情報 Escape
MENU_WAIT=3 choose 3
wait_until 3 eval '! tray_window' || fail "the icon stayed after 終了"
# The main thread ends; the one inside the frozen call holds the process until the server answers.
main_ended() { [[ $(awk '{print $3}' "/proc/$PID/stat") == Z ]]; }
wait_until 6 main_ended || fail "終了 did not end the copy within 6 s"
sftp_servers -CONT && ended_with $PID 0 && status_is "$(hostname)" || fail "the copy did not end with 0 keeping its claim"
# Started while the share is frozen: the icon at once, and SIGTERM ends it within 6 s.
sftp_servers -STOP && kesrow_start frozenstart
wait_until 2 tray_window >/dev/null || fail "no icon within 2 s on a frozen share"
kill -TERM $PID && wait_until 6 main_ended || fail "SIGTERM did not end a copy started on a frozen share within 6 s"
sftp_servers -CONT && ended_with $PID 0 || fail "the copy started on a frozen share did not end with 0"
echo "PASS desktop"
