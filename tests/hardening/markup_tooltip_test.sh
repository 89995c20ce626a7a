#!/bin/bash
# Markup in the status file is shown as text: hovering over the tray icon
# while the holder's name is an image tag pointing at /dev/zero neither ends
# nor stalls the copy, and the tooltip is as wide as a plain name of the
# same length, not the rendered markup. Screenshots with KEEP_SHOTS=<dir>.
#   markup_tooltip_test.sh <kesrow> <dialup_line>
set -u
source "$(dirname "$0")/../gui/desktop_lib.sh"
desktop_init "$1" "$2"

MARKUP='PC9<img src="/dev/zero"><b>x</b>'
PLAIN='PC9_img_src=_/dev/zero___b_x__b_'  # as many characters, no markup

# The copy's open tooltip: the window of that type.
tooltip_window() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP && { echo "$w"; return 0; }
    done
    return 1
}

# The icon's pixels as a checksum, each read bounded on its own: the
# window may be replaced while it is read.
icon_sum() {
    local w
    w=$(tray_window "$PID") || return 1
    rm -f "$T/sum.rgb"
    timeout 2 import -window "$w" rgb:"$T/sum.rgb" 2>/dev/null && [[ -s $T/sum.rgb ]] || return 1
    md5sum <"$T/sum.rgb" | cut -c1-32
}

# tooltip_width <status> <shot>: a copy that sees that holder in the status
# file; WIDTH is the width of the tooltip it shows on hover.
tooltip_width() {
    printf 'OK\r\n' >"$T/share/kesrow.txt"
    kesrow_start "$2"
    PID=$COPY_PID
    wait_until 20 tray_window "$PID" >/dev/null || fail "the tray icon did not appear"
    local free end now=""
    wait_until 20 icon_sum >/dev/null || fail "cannot read the icon"
    free=$(icon_sum)
    printf '%s\r\n' "$1" >"$T/share/kesrow.txt"
    # the next tick shows the prohibition sign with the holder's name
    for ((end = SECONDS + 20; SECONDS < end; )); do
        now=$(icon_sum) && [[ $now != "$free" ]] && break
        now=""
        sleep 0.1
    done
    [[ -n $now ]] || fail "no prohibition sign for $1"
    xdotool mousemove --window "$(tray_window "$PID")" 11 15
    wait_until 10 tooltip_window >/dev/null || fail "no tooltip for $1"
    snap "$2"
    running "$PID" || fail "the copy ended on hover over $1"
    WIDTH=$(xdotool getwindowgeometry --shell "$(tooltip_window)" | sed -n 's/^WIDTH=//p')
    xdotool mousemove 0 400
    kill -TERM "$PID"
    ended_with "$PID" 0 || fail "the copy did not end with status 0"
}

tooltip_width "$MARKUP" markup
markup=$WIDTH
tooltip_width "$PLAIN" plain
plain=$WIDTH
((markup * 10 >= plain * 9)) || fail "markup rendered: tooltip $markup px wide, plain $plain px"
echo "PASS markup shown as text ($markup px, plain $plain px)"
