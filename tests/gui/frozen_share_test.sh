#!/bin/bash
# The desktop copy on an SSHFS share whose server stops answering (its SFTP
# session stopped with SIGSTOP): the icon turns to the unknown picture, the
# tray menu and the About box still open at once, and 終了 takes the icon
# away at once and ends the program without the release it cannot make.
#
#   frozen_share_test.sh <kesrow> <dialup_line>
#
# The file server and the computer come from the office set-up; the
# desktop runs inside that computer, where the share is mounted.
set -u
here=$(cd "$(dirname "$0")" && pwd)

if [[ ${1:-} != --desktop ]]; then
    source "$here/../office/office_lib.sh"
    office_init "$1" "$2"
    server_machine_start
    sshd_prepare
    server_daemon_start_sshd
    computer_start PC01 1
    mount_sshfs PC01
    printf 'OK\r\n' >"$(office_status_file)"
    in_machine PC01 -- env KESROW_GUI_NETNS=1 bash "$0" --desktop "$W/bin/kesrow" "$W/bin/dialup_line" \
        "$W/PC01/share" "$(sftp_sessions)" || office_fail "the desktop part failed"
    status_is PC01 || office_fail "the claim did not stay"
    echo "PASS frozen share on the desktop"
    exit 0
fi

shift
share=$3 sessions=$4
source "$here/desktop_lib.sh"
desktop_init "$1" "$2"
thaw() { kill -CONT $sessions 2>/dev/null; }
trap 'thaw; desktop_cleanup' EXIT
printf '%s/\r\n' "$share" >"$T/office/pas.txt"

# seconds_since <start from date +%s%N>
seconds_since() { echo "scale=3; ($(date +%s%N) - $1) / 1000000000" | bc; }
# waits without sleeping, so that the time taken is the program's.
promptly() {  # <what> <command...>
    local what=$1 start
    shift
    start=$(date +%s%N)
    until "$@" >/dev/null 2>&1; do
        (($(date +%s%N) - start < 2000000000)) || fail "$what: not within 2 s"
    done
    echo "$what: $(seconds_since "$start") s"
}
main_thread_ended() { [[ $(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) == Z ]]; }

kesrow_start copy
COPY=$COPY_PID
wait_until 20 tray_window "$COPY" >/dev/null || fail "the tray icon did not appear"
held_icon() { local now; now=$(icon_pixels "$COPY") && [[ $now != "$free_icon" ]]; }
free_icon=$(icon_pixels "$COPY") || fail "cannot read the icon"
dial  # the copy claims the line, and this computer stays dialled up
wait_until 10 held_icon || fail "the claim did not show"
held=$(icon_pixels "$COPY")

kill -STOP $sessions || fail "no SFTP session to stop"
unknown_icon() { local now; now=$(icon_pixels "$COPY") && [[ $now != "$held" && $now != "$free_icon" ]]; }
wait_until 10 unknown_icon || fail "no third picture while the share is frozen"
snap frozen-icon "$(tray_window "$COPY")"

ABOUT="ケスロウのﾊﾞｰｼﾞｮﾝ情報"
right_click "$COPY"
promptly "tray menu" popup_window "$COPY"
# The About item, the third of four of equal height.
eval "$(xdotool getwindowgeometry --shell "$(popup_window "$COPY")" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * 5 / 8)) click 1
promptly "About box" has_window "$ABOUT"
snap about-while-frozen
closes_with "$ABOUT" Escape

choose_item "$COPY" 3
promptly "icon gone after 終了" eval '! tray_window "$COPY"'
wait_until 7 main_thread_ended "$COPY" || fail "the program did not end within 6 s of 終了"
thaw
ended_with "$COPY" 0 || fail "the program did not end cleanly"
