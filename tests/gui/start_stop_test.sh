#!/bin/bash
# The desktop copy starts into the notification area, refuses a second copy
# with the "ロードエラー" box, and releases the line it holds on SIGTERM.
#   start_stop_test.sh <kesrow> <dialup_line>
set -u
source "$(dirname "$0")/desktop_lib.sh"
desktop_init "$1" "$2"

kesrow_start first
FIRST=$COPY_PID
wait_until 20 tray_window "$FIRST" >/dev/null || fail "the tray icon did not appear"
snap started

# A second copy shows the load error box, ends with it, and leaves the first as it was.
icon_before=$(icon_pixels "$FIRST") || fail "cannot read the icon"
kesrow_start second
SECOND=$COPY_PID
wait_until 20 has_window "ロードエラー" || fail "no ロードエラー box"
snap second-copy
running "$SECOND" || fail "the second copy ended before its box was closed"
key_to "ロードエラー" Return
ended_with "$SECOND" 0 || fail "the second copy did not end with status 0"
running "$FIRST" || fail "the first copy ended"
[[ $(icon_pixels "$FIRST") == "$icon_before" ]] || fail "the first copy's icon changed"
status_is OK || fail "the second copy changed the status file"

# This computer dials up: the copy claims the line. SIGTERM releases it.
dial
wait_until 20 status_is "$(hostname)" || fail "the copy did not claim the line"
[[ $(disconnect_lines) == 0 ]] || fail "a disconnect line before the stop"
kill -TERM "$FIRST"
ended_with "$FIRST" 0 || fail "SIGTERM did not end the copy with status 0"
status_is OK || fail "the status file is not exactly OK CR LF after SIGTERM"
[[ $(disconnect_lines) == 1 ]] || fail "not exactly one disconnect line"
[[ $(log_lines) == 2 ]] || fail "the log does not hold exactly the connect and disconnect lines"
[[ -z $(tray_window "$FIRST" 2>/dev/null) ]] || fail "the icon is still shown"

# SIGINT and SIGHUP end a copy the same way; a free line is left as it is.
kill -TERM "$LINE_PID"
for signal in INT HUP; do
    cp "$T/share/kesrow.log" "$T/log.before"
    kesrow_start "$signal"
    wait_until 20 tray_window "$COPY_PID" >/dev/null || fail "the tray icon did not appear again"
    kill "-$signal" "$COPY_PID"
    ended_with "$COPY_PID" 0 || fail "SIG$signal did not end the copy with status 0"
    status_is OK || fail "SIG$signal changed the status file"
    cmp -s "$T/log.before" "$T/share/kesrow.log" || fail "SIG$signal wrote to the log"
done
echo "PASS"
