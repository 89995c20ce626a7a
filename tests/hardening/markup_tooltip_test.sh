#!/bin/bash
# Markup in the status file is shown as text: hovering over the tray icon
# while the holder's name is an image tag pointing at /dev/zero neither ends
# nor stalls the desktop copy, and its tooltip is as wide as that of a plain
# name of the same length, not the rendered markup. A failed run with KEEP=1
# leaves its screenshots in the work folder.
#   markup_tooltip_test.sh <kesrow>
source "$(dirname "$0")/../tools/process_lib.sh"
need_root
if [[ -z ${KESROW_NETNS:-} ]]; then
    KESROW_NETNS=1 exec unshare --net --mount --propagation private -- bash "$0" "$@"
fi
mount -t tmpfs -o mode=755 tmpfs /run/user && mkdir -m 700 /run/user/0 || exit 1
KESROW=$(realpath "$1")
work_folder markup
SHARE=$T/share
mkdir -p "$SHARE" "$T/office" "$T/home"
printf '%s/\r\n' "$SHARE" >"$T/office/pas.txt"
unset DBUS_SESSION_BUS_ADDRESS  # a StatusNotifier host would take the icon from the X tray
dump() { tail -n 5 "$T"/*.out "$T"/*.log; }

spawn Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$T/display" >"$T/xvfb.log" 2>&1
wait_until 20 test -s "$T/display" || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$T/display")
wait_until 20 xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb does not answer"
for attempt in 1 2 3; do  # trayer before openbox: a window mapped while openbox starts can stay unmapped
    spawn trayer --edge top --align right --widthtype pixel --width 200 --height 32 >>"$T/trayer.log" 2>&1
    wait_until 10 xdotool search --onlyvisible --class trayer >/dev/null 2>&1 && break
    kill -TERM "${PIDS[-1]}" && ((attempt < 3)) || fail "trayer did not start"
done
spawn openbox --startup "touch $T/openbox.ready" >"$T/openbox.log" 2>&1
wait_until 20 test -e "$T/openbox.ready" || fail "openbox did not start"

# The copy's icon (embedded: its parent is not the root window), its
# prohibition sign (no blue pixel) and its open tooltip.
tray_window() {
    local w root
    root=$(xwininfo -root | awk '/Window id:/ {print $4}')
    for w in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null); do
        xprop -id "$w" _XEMBED_INFO _NET_WM_NAME 2>/dev/null | grep -qz ' = .*= "kesrow"' || continue
        xwininfo -id "$w" -children | grep -q "Parent window id: $root" || { echo "$w"; return 0; }
    done
    return 1
}
shows_held() {
    timeout 2 import -silent -window "$(tray_window)" rgb:- 2>/dev/null | python3 -c 'import sys
d = sys.stdin.buffer.read(); sys.exit(not d or any(d[i + 2] - d[i] > 20 for i in range(0, len(d) - 2, 3)))'
}
tooltip_window() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP && { echo "$w"; return 0; }
    done
    return 1
}

# tooltip_width <holder> <shot>: WIDTH of the tooltip a copy shows on hover
# while the status file names that holder.
tooltip_width() {
    printf '%s\r\n' "$1" >"$SHARE/kesrow.txt"
    spawn env -C "$T/office" -i PATH=/usr/bin:/bin HOME="$T/home" DISPLAY="$DISPLAY" LANG=C.UTF-8 \
        QT_QPA_PLATFORM=xcb "$KESROW" </dev/null >"$T/$2.out" 2>&1
    PID=${PIDS[-1]}
    wait_until 20 tray_window >/dev/null || fail "the tray icon did not appear"
    wait_until 20 shows_held || fail "no prohibition sign for $1"
    local try
    for try in 1 2 3 4; do  # hovering again if a busy machine let the first pass unseen
        xdotool mousemove 0 400 sleep 0.2 mousemove --window "$(tray_window)" 11 $((12 + try))
        wait_until 5 tooltip_window >/dev/null && break
    done
    tooltip_window >/dev/null || fail "no tooltip for $1"
    timeout 10 import -silent -window root "$T/$2.png"
    kill -0 "$PID" || fail "the copy ended on hover over $1"
    WIDTH=$(xdotool getwindowgeometry --shell "$(tooltip_window)" | sed -n 's/^WIDTH=//p')
    xdotool mousemove 0 400
    kill -TERM "$PID"
    ended_with "$PID" 0 || fail "the copy did not end with status 0"
}

tooltip_width 'PC9<img src="/dev/zero"><b>x</b>' markup
markup=$WIDTH
tooltip_width 'PC9_img_src=_/dev/zero___b_x__b_' plain  # as many characters, no markup
((markup * 10 >= WIDTH * 9)) || fail "markup rendered: tooltip $markup px wide, plain $WIDTH px"
echo "PASS markup shown as text ($markup px, plain $WIDTH px)"
