#!/bin/bash
# A desktop without a notification area: the main form's window stands in
# for the icon, and its "終了(&X)" unloads the form and ends the program.
#   no_tray_test.sh <kesrow> <dialup_line>
set -u
source "$(dirname "$0")/desktop_lib.sh"
desktop_init "$1" "$2" notray

printf 'PC01\x82\xaa\x81\x41 1998/09/03 10:15:00 \x90\xda\x91\xb1\r\n' >"$T/share/kesrow.log"
kesrow_start copy
COPY=$COPY_PID
wait_until 20 has_window "ケスロウ" || fail "no main window without a tray"
snap main-window
[[ -z $(tray_window "$COPY") ]] || fail "a tray icon without a tray"

# Its first button, focused, is the first command of the tray menu.
key_to "ケスロウ" space
wait_until 10 has_window "接続時間ログ情報" || fail "接続ログ did not open the log viewer"
snap log-viewer-from-window
closes_with "接続時間ログ情報" Escape

dial
wait_until 20 status_is "$(hostname)" || fail "the copy did not claim the line"
key_to "ケスロウ" alt+x
ended_with "$COPY" 0 || fail "終了(&X) did not end the copy with status 0"
status_is OK || fail "the status file is not exactly OK CR LF after 終了(&X)"
[[ $(disconnect_lines) == 1 ]] || fail "not exactly one disconnect line"
echo "PASS"
