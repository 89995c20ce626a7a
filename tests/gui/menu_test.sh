#!/bin/bash
# The tray icon's popup menu on a virtual desktop: the four items in order,
# the log viewer and the About box (Enter and Esc close them), the icon
# following the status file while a dialog is open, and "終了" releasing a
# held line.
#   menu_test.sh <kesrow> <dialup_line>
set -u
source "$(dirname "$0")/desktop_lib.sh"
desktop_init "$1" "$2"

# A log of three lines, in code page 932.
printf 'PC01\x82\xaa\x81\x41 1998/09/03 10:15:00 \x90\xda\x91\xb1\r\n' >"$T/share/kesrow.log"
printf 'PC01\x82\xaa\x81\x41 1998/09/03 10:25:00 \x90\xd8\x92\x66\r\n' >>"$T/share/kesrow.log"
printf 'PC02\x82\xaa\x81\x41 1998/09/03 11:00:00 \x90\xda\x91\xb1\r\n' >>"$T/share/kesrow.log"
# The system information tool the About box finds first on PATH.
printf '#!/bin/sh\ntouch "%s/sysinfo-started"\n' "$T" >"$T/bin/hardinfo"
chmod +x "$T/bin/hardinfo"

kesrow_start copy
COPY=$COPY_PID
wait_until 20 tray_window "$COPY" >/dev/null || fail "the tray icon did not appear"
LOG_VIEWER="接続時間ログ情報"
ABOUT="ケスロウのﾊﾞｰｼﾞｮﾝ情報"

opens() {  # <item index> <title>: the tray menu's item opens the window titled so
    choose_item "$COPY" "$1"
    wait_until 10 has_window "$2" || fail "item $1 did not open $2"
}

# Left and double clicks do nothing; a right click opens the popup, Esc dismisses it.
xdotool mousemove --window "$(tray_window "$COPY")" 11 15 click 1 click --repeat 2 1
sleep 0.5
for title in "$LOG_VIEWER" "$ABOUT" "ケスロウ"; do no_window "$title" || fail "a click opened $title"; done
right_click "$COPY"
wait_until 10 popup_window "$COPY" >/dev/null || fail "a right click opened no popup"
sleep 0.3
snap popup
xdotool key Escape
sleep 0.3
running "$COPY" || fail "dismissing the popup ended the copy"
status_is OK || fail "dismissing the popup changed the status file"

# Item 1: the log viewer. While it is open the icon follows the status file.
opens 0 "$LOG_VIEWER"
snap log-viewer
free_icon=$(icon_pixels "$COPY") || fail "cannot read the icon"
printf 'PC09\r\n' >"$T/share/kesrow.txt"
held() { local now; now=$(icon_pixels "$COPY") && [[ $now != "$free_icon" ]]; }
wait_until 10 held || fail "the icon did not change while the log viewer was open"
snap held-icon "$(tray_window "$COPY")"
has_window "$LOG_VIEWER" || fail "the log viewer closed by itself"
printf 'OK\r\n' >"$T/share/kesrow.txt"
free() { [[ $(icon_pixels "$COPY") == "$free_icon" ]]; }
wait_until 10 free || fail "the icon did not return to the free picture"
closes_with "$LOG_VIEWER" Return
opens 0 "$LOG_VIEWER"
closes_with "$LOG_VIEWER" Escape

# Item 2: the server path. Cancel changes nothing and the copy keeps running.
cp "$T/office/pas.txt" "$T/pas.before"
opens 1 "ケスロウ"
sleep 0.3
snap server-path
closes_with "ケスロウ" Escape
running "$COPY" || fail "cancelling the server path ended the copy"
cmp -s "$T/pas.before" "$T/office/pas.txt" || fail "cancelling changed pas.txt"

# Item 3: the About box; Alt+S starts the system information tool.
opens 2 "$ABOUT"
snap about
key_to "$ABOUT" alt+s
wait_until 10 test -e "$T/sysinfo-started" || fail "Alt+S did not start the system information tool"
has_window "$ABOUT" || fail "the About box closed after Alt+S"
closes_with "$ABOUT" Escape
opens 2 "$ABOUT"
closes_with "$ABOUT" Return

# Item 4: exit, while this computer holds the line.
dial
wait_until 20 status_is "$(hostname)" || fail "the copy did not claim the line"
wait_until 10 held || fail "the icon did not show the line held"
disconnects=$(disconnect_lines)
choose_item "$COPY" 3
ended_with "$COPY" 0 || fail "終了 did not end the copy with status 0"
status_is OK || fail "the status file is not exactly OK CR LF after 終了"
[[ $(disconnect_lines) == $((disconnects + 1)) ]] || fail "not exactly one new disconnect line"
echo "PASS"
