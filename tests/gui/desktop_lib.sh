# A virtual desktop for the GUI tests: Xvfb on a free display, openbox,
# trayer as the notification area, and a demo office folder. Every process
# started here is remembered by pid and ended by desktop_cleanup.
#
# Source it from bash, then: desktop_init <kesrow> <dialup_line>.

FREE_TOOLTIP="ダイアルアップ接続している人はいません"
PIDS=()

fail() {
    echo "FAIL: $*" >&2
    desktop_dump >&2
    exit 1
}

desktop_dump() {
    echo "--- kesrow output"; cat "$T"/kesrow*.out 2>/dev/null
    echo "--- desktop"; cat "$T"/xvfb.log "$T"/openbox.log "$T"/trayer.log 2>/dev/null
    echo "--- status"; od -c "$T/share/kesrow.txt" 2>/dev/null | head -5
    echo "--- log"; iconv -f CP932 -t UTF-8 "$T/share/kesrow.log" 2>/dev/null | sed 's/\r$/<CR>/' | tail -20
    echo "--- processes"; ps -o pid,stat,etime,args -p "$(IFS=,; echo "${PIDS[*]}")" 2>/dev/null
    echo "--- display $DISPLAY"; xwininfo -root -tree 2>&1 | head -20
    echo "--- windows"
    local w
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        echo "$w $(xdotool getwindowname "$w" 2>/dev/null)"
    done
}

remember() { PIDS+=("$1"); }

desktop_cleanup() {
    local i
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        kill -TERM "${PIDS[i]}" 2>/dev/null
    done
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        wait "${PIDS[i]}" 2>/dev/null
    done
    if [[ -n ${KEEP_SHOTS:-} && -d $T/shots ]]; then
        mkdir -p "$KEEP_SHOTS" && cp "$T"/shots/*.png "$KEEP_SHOTS"/ 2>/dev/null
    fi
    rm -rf "$T"
}

# wait_until <seconds> <command...>: polls every 0.1 s until the command succeeds.
wait_until() {
    local limit=$(($1 * 10))
    shift
    while ((limit-- > 0)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# desktop_init <kesrow binary> <dialup_line binary> [notray]
desktop_init() {
    [[ $(id -u) == 0 ]] || { echo "needs root (network namespace, tun device)"; exit 77; }
    # The whole desktop lives in a network namespace of its own: its X
    # server's abstract socket cannot meet another test's display, and the
    # simulated dial-up line is this computer's.
    if [[ -z ${KESROW_GUI_NETNS:-} ]]; then
        KESROW_GUI_NETNS=1 exec unshare --net -- bash "$0" "$@"
    fi
    KESROW=$(readlink -f "$1")
    DIALUP_LINE=$(readlink -f "$2")
    T=$(mktemp -d /tmp/kesrow-gui.XXXXXX)
    trap desktop_cleanup EXIT
    trap 'exit 1' INT TERM HUP
    mkdir -p "$T/share" "$T/office" "$T/home" "$T/bin" "$T/shots"
    mkdir -m 700 "$T/runtime"
    printf 'OK\r\n' >"$T/share/kesrow.txt"
    printf '%s/\r\n' "$T/share" >"$T/office/pas.txt"
    unset DBUS_SESSION_BUS_ADDRESS  # with a StatusNotifier host on the bus, no X tray window appears
    export XDG_RUNTIME_DIR=$T/runtime HOME=$T/home

    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$T/display" >"$T/xvfb.log" 2>&1 &
    remember $!
    wait_until 20 test -s "$T/display" || fail "Xvfb did not start"
    export DISPLAY=:$(head -n 1 "$T/display")
    # The display number can come before the server answers; a client that
    # connects too early is refused.
    wait_until 20 xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb does not answer"
    # trayer before openbox: a window mapped while the window manager is
    # still starting can be left unmanaged and unmapped. Openbox runs its
    # startup command once it manages windows.
    if [[ ${3:-} != notray ]]; then
        local attempt
        for attempt in 1 2 3; do
            trayer --edge top --align right --widthtype pixel --width 200 --height 32 >>"$T/trayer.log" 2>&1 &
            remember $!
            wait_until 10 xdotool search --onlyvisible --class trayer >/dev/null 2>&1 && break
            kill -TERM "$!" 2>/dev/null
            ((attempt < 3)) || fail "trayer did not start"
        done
    fi
    openbox --startup "touch $T/openbox.ready" >"$T/openbox.log" 2>&1 &
    remember $!
    wait_until 20 test -e "$T/openbox.ready" || fail "openbox did not start"
    if [[ ${3:-} != notray ]]; then
        wait_until 20 xdotool search --onlyvisible --class trayer >/dev/null 2>&1 || fail "the tray is gone"
    fi
}

# kesrow_start <name>: a copy in the demo folder; its pid goes to COPY_PID.
kesrow_start() {
    local name=$1
    (cd "$T/office" && exec env -i \
        PATH="$T/bin:/usr/sbin:/usr/bin:/sbin:/bin" HOME="$HOME" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
        DISPLAY="$DISPLAY" LANG=C.UTF-8 QT_QPA_PLATFORM=xcb "$KESROW" \
        </dev/null >"$T/kesrow-$name.out" 2>&1) &
    COPY_PID=$!
    remember $COPY_PID
}

running() { kill -0 "$1" 2>/dev/null; }

# ended_with <pid> <status>: the copy ends, with that exit status.
ended_with() {
    local rc=0
    ended() { ! running "$1"; }
    wait_until 20 ended "$1" || return 1
    wait "$1" 2>/dev/null || rc=$?
    [[ $rc == "$2" ]] || { echo "exit status $rc" >&2; return 1; }
}

# The copy's tray icon: its window embedded into trayer (parent is not the
# root window), untitled, with the XEmbed property.
tray_window() {
    local w root
    root=$(xwininfo -root | awk '/Window id:/ {print $4}')
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        xprop -id "$w" _XEMBED_INFO 2>/dev/null | grep -q ' = ' || continue
        xprop -id "$w" _NET_WM_NAME 2>/dev/null | grep -q '= "kesrow"$' || continue
        xwininfo -id "$w" -children 2>/dev/null | grep -q "Parent window id: $root" && continue
        echo "$w"
        return 0
    done
    return 1
}

# A visible window whose title is exactly the given text.
titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [[ -n $(titled "$1") ]]; }
no_window() { [[ -z $(titled "$1") ]]; }

# key_to <title> <keys...>: activates the window and types the keys.
key_to() {
    local w
    w=$(titled "$1")
    [[ -n $w ]] || fail "no window titled $1"
    timeout 10 xdotool windowactivate --sync "$w" >/dev/null 2>&1
    shift
    xdotool key --delay 100 "$@"
}

closes_with() {  # <title> <key>
    key_to "$1" "$2"
    wait_until 10 no_window "$1" || fail "$2 did not close $1"
}

# right_click <pid>: a right click on the copy's tray icon.
right_click() {
    local w
    w=$(tray_window "$1") || fail "no tray icon"
    xdotool mousemove --window "$w" 11 15 click 3 2>/dev/null
}

# The copy's open popup menu: a window of its own that no window manager frames.
popup_window() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && { echo "$w"; return 0; }
    done
    return 1
}

# choose_item <pid> <index>: opens the tray menu and clicks item index (0..3),
# the popup's four items being of equal height.
choose_item() {
    local w x y width height
    right_click "$1"
    wait_until 10 popup_window "$1" >/dev/null || fail "no popup menu"
    w=$(popup_window "$1")
    eval "$(xdotool getwindowgeometry --shell "$w" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * (2 * $2 + 1) / 8)) click 1
}

# snap <file> [window]: a screenshot (the whole screen by default).
# import waits for a click when its window has gone: bound it.
snap() { timeout 10 import -window "${2:-root}" "$T/shots/$1.png"; }

# The icon's pixels, as a checksum to compare; fails when there is no icon to read.
icon_pixels() {
    local w
    w=$(tray_window "$1") || return 1
    timeout 10 import -window "$w" rgb:"$T/icon.rgb" 2>/dev/null && [[ -s $T/icon.rgb ]] || return 1
    md5sum <"$T/icon.rgb" | cut -d' ' -f1
}

# dial: a PPP link with carrier on this computer.
dial() {
    rm -f "$T/line.fifo"
    mkfifo "$T/line.fifo"
    "$DIALUP_LINE" ppp0 <>"$T/line.fifo" >"$T/line.out" 2>&1 &
    LINE_PID=$!
    remember $LINE_PID
    wait_until 10 grep -qx up "$T/line.out" || fail "dial-up line did not come up"
}

# --- the shared files, byte by byte ---

status_is() { cmp -s <(printf '%s\r\n' "$1") "$T/share/kesrow.txt"; }

# Lines of the log that end in " 切断" (code page 932: 20 90 D8 92 66, then CR LF).
disconnect_lines() { LC_ALL=C grep -c $'\x20\x90\xd8\x92\x66\r$' "$T/share/kesrow.log"; }
log_lines() { LC_ALL=C grep -c '' "$T/share/kesrow.log"; }
