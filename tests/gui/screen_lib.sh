# Shared by the desktop tests: a virtual screen with a notification area, windows found by title or test, keys
# typed to them, the icon's popup menu (the test's tray_window and popup), screenshots.
start_screen() {  # Xvfb, then trayer unless told "notray"
    spawn Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$T/display" >"$T/xvfb.log" 2>&1
    wait_until 20 test -s "$T/display" || fail "Xvfb did not start"
    export DISPLAY=:$(head -n 1 "$T/display")
    wait_until 20 xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb does not answer"
    [[ ${1:-} == notray ]] || start_tray
}
start_tray() {  # trayer, its pid last in PIDS; started again, also when it ended by itself
    for _ in 1 2 3; do
        spawn trayer --edge top --align right --widthtype pixel --width 200 --height 32 >>"$T/trayer.log" 2>&1
        wait_until 10 xdotool search --onlyvisible --class trayer >/dev/null 2>&1 && return 0 || kill -TERM "${PIDS[-1]}" 2>/dev/null
    done
    fail "trayer did not start"
}
shot() { timeout 10 import -silent -window root "$T/$1.png" && echo "screen: $T/$1.png"; }  # <name>: kept with KEEP=1
titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [[ -n $(titled "$1") ]]; }
no_window() { [[ -z $(titled "$1") ]]; }
first_window() {  # <test> <xdotool search arguments...>: the first visible window the test holds for
    local w
    for w in $(xdotool search --onlyvisible "${@:2}" 2>/dev/null); do "$1" "$w" && echo "$w" && return 0; done
    return 1
}
is_popup() { xwininfo -id "$1" 2>/dev/null | grep -q 'Override Redirect State: yes'; }  # no window manager frames it
key_to() {  # <title> <key>: the window activated where a window manager runs, else focused
    local w=$(titled "$1")
    [[ -n $w ]] || fail "no window titled $1"
    timeout 10 xdotool windowactivate --sync "$w" >/dev/null 2>&1 || xdotool windowfocus --sync "$w" 2>/dev/null
    sleep 0.3 && xdotool key "$2"  # Wine takes the focus a moment after X gives it
}
closes_with() {  # <title> <key>: a key that came too early is sent again
    for _ in 1 2 3; do no_window "$1" || { key_to "$1" "$2" && wait_until 3 no_window "$1"; } && return 0; done
    fail "$2 did not close $1"
}
choose() {  # <row 0..3> [title it opens]: from the icon's popup menu, of its four rows of equal height
    local X Y WIDTH HEIGHT
    xdotool mousemove --window "$(tray_window)" 10 14 click 3
    wait_until "${MENU_WAIT:-10}" popup >/dev/null || fail "no popup menu within ${MENU_WAIT:-10} s"
    sleep 0.3 && eval "$(xdotool getwindowgeometry --shell "$(popup)" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * (2 * $1 + 1) / 8)) click 1
    [[ -z ${2:-} ]] || wait_until 10 has_window "$2" || fail "item $1 did not open $2"
}
