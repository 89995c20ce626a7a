#!/bin/bash
# kesrow.exe under Wine on a virtual desktop: Xvfb with trayer as the
# notification area and no window manager, a Japanese locale. The icon, the
# second copy's box, the popup's four items, the log viewer, the server
# path box and the About box; then a Linux console copy on the same folder:
# its claim shows in the Windows copy's tooltip, the Windows copy's claim in
# its output, and both write the same lines. 終了 releases the line.
#   desktop_test.sh <kesrow.exe> <wine folder> <fake rasapi32.dll> <window_text.exe>
#                   <started_marker.exe> <linux kesrow> <dialup_line>
set -u
[[ $(id -u) == 0 ]] || { echo "needs root (namespaces for the Linux copy)"; exit 77; }
EXE=$(readlink -f "$1") WINE_DIR=$(readlink -f "$2") FAKE_RAS=$(readlink -f "$3") PROBE=$(readlink -f "$4")
MARKER=$(readlink -f "$5") LINUX_KESROW=$(readlink -f "$6") DIALUP_LINE=$(readlink -f "$7")
HERE=$(cd "$(dirname "$0")" && pwd)
T=$(mktemp -d /tmp/kesrow-wine.XXXXXX)
PIDS=()
HOST=$(hostname)
FREE="ダイアルアップ接続している人はいません"
LOG_VIEWER="接続時間ログ情報"
ABOUT="ケスロウのﾊﾞｰｼﾞｮﾝ情報"

wine_run() { sh "$HERE/wine_run.sh" "$WINE_DIR" "$@"; }
# Windows sees the test folder through drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

fail() {
    echo "FAIL: $*" >&2
    snap failure
    echo "--- status"; od -c "$T/share/kesrow.txt" | head -3
    echo "--- log"; iconv -f CP932 -t UTF-8 "$T/share/kesrow.log" 2>/dev/null | tail
    echo "--- linux copy"; cat "$T/linux.out" 2>/dev/null | tail
    exit 1
} >&2

cleanup() {
    WINEPREFIX=$WINE_DIR/prefix wineserver -k 2>/dev/null
    kill -TERM "${PIDS[@]}" 2>/dev/null
    wait "${PIDS[@]}" 2>/dev/null
    if [[ -n ${KEEP_SHOTS:-} ]]; then mkdir -p "$KEEP_SHOTS" && cp "$T"/shots/*.png "$KEEP_SHOTS"/; fi
    rm -rf "$T"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

wait_until() {  # <seconds> <command...>: every 0.1 s until it succeeds
    local limit=$(($1 * 10))
    while ((limit-- > 0)); do "${@:2}" && return 0; sleep 0.1; done
    return 1
}
running() { kill -0 "$1" 2>/dev/null; }
ended() { ! running "$1"; }
snap() { timeout 10 import -window root "$T/shots/$1.png"; }
titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [[ -n $(titled "$1") ]]; }
no_window() { [[ -z $(titled "$1") ]]; }

# Keys go to the window with the focus; Wine takes it a moment after X
# gives it, so a key that came too early is sent again.
closes_with() {  # <title> <key>
    local attempt w
    for attempt in 1 2 3; do
        w=$(titled "$1")
        [[ -n $w ]] || return 0
        xdotool windowfocus --sync "$w" 2>/dev/null
        sleep 0.3
        xdotool key "$2"
        wait_until 3 no_window "$1" && return 0
    done
    fail "$2 did not close $1"
}

# The copy's icon: Wine's explorer docks one window per icon into trayer.
tray_window() {
    local w
    for w in $(xdotool search --onlyvisible --class explorer.exe 2>/dev/null); do
        xprop -id "$w" _XEMBED_INFO 2>/dev/null | grep -q ' = ' && { echo "$w"; return 0; }
    done
    return 1
}

# The tooltip the icon shows when the pointer comes to rest on it.
tooltip_is() {
    xdotool mousemove 0 400 mousemove --window "$(tray_window)" 9 14 2>/dev/null || return 1
    sleep 0.8
    [[ $(texts tooltip) == "$1" ]]
}

# The texts of the window with that title, or the tooltip on screen, one a line.
texts() { wine_run "$PROBE" "$1" | tr -d '\r'; }

popup_window() {
    local w
    for w in $(xdotool search --onlyvisible --class kesrow.exe 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$w" && return 0
    done
    return 1
}

# choose_item <index>: opens the popup and clicks item index of its four equal rows.
choose_item() {
    local X Y WIDTH HEIGHT
    xdotool mousemove --window "$(tray_window)" 9 14 click 3
    wait_until 10 popup_window >/dev/null || fail "no popup menu"
    sleep 0.3
    [[ $1 == 0 ]] && snap popup
    eval "$(xdotool getwindowgeometry --shell "$(popup_window)" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * (2 * $1 + 1) / 8)) click 1
}

start_copy() {  # <name>: kesrow.exe in the office folder; its pid goes to COPY_PID
    (cd "$T/office" && KESROW_DIALUP_FILE=$(winpath "$T/line-up") WINEDLLOVERRIDES="rasapi32=n;mscoree,mshtml=" \
        exec sh "$HERE/wine_run.sh" "$WINE_DIR" "$EXE" </dev/null >"$T/$1.out" 2>&1) &
    COPY_PID=$!
    PIDS+=("$COPY_PID")
}

status_is() { cmp -s <(printf '%s\r\n' "$1") "$T/share/kesrow.txt"; }
# A log line with host and time replaced, so that two copies' lines compare byte for byte.
line_shape() { LC_ALL=C sed -n "/^$1\x82\xaa\x81\x41 /{s/^$1/HOST/;s/ [0-9]\{4\}\/[0-9][0-9]\/[0-9][0-9] [0-9]\{1,2\}:[0-9][0-9]:[0-9][0-9] / TIME /;/$2/p}" "$T/share/kesrow.log"; }

# The version record, its Japanese texts in UTF-16 (ケスロウ), language 0x0411, Unicode.
x86_64-w64-mingw32-windres -J coff -O rc -i "$EXE" >"$T/version.rc" || fail "no resources"
grep -qF 'VALUE "ProductName", L"\x30b1\x30b9\x30ed\x30a6"' "$T/version.rc" && grep -qF 'VALUE "FileVersion", "3.00.0003"' "$T/version.rc" &&
    grep -qF 'VALUE "Translation", 0x411, 1200' "$T/version.rc" || fail "not the version record"
mkdir -p "$T/share" "$T/office" "$T/linux" "$T/shots" "$T/tool"
printf 'OK\r\n' >"$T/share/kesrow.txt"
printf '%s\\\r\n' "$(winpath "$T/share")" >"$T/office/pas.txt"
printf '%s/\r\n' "$T/share" >"$T/linux/pas.txt"
cp "$MARKER" "$T/tool/msinfo32.exe"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$T/display" >"$T/xvfb.log" 2>&1 &
PIDS+=($!)
wait_until 20 test -s "$T/display" || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$T/display")
wait_until 20 xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb does not answer"
trayer --edge top --align right --widthtype pixel --width 200 --height 32 >"$T/trayer.log" 2>&1 &
PIDS+=($!)
wait_until 20 xdotool search --onlyvisible --class trayer >/dev/null 2>&1 || fail "trayer did not start"

export WINEPREFIX=$WINE_DIR/prefix
# The other tests' Wine knows no display; this one's starts afresh on ours.
wineserver -k 2>/dev/null
cp "$FAKE_RAS" "$WINEPREFIX/drive_c/windows/system32/rasapi32.dll"
wine_run reg add 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /t REG_SZ \
    /d "$(winpath "$T/tool/msinfo32.exe")" /f >/dev/null 2>&1 || fail "reg add failed"

# The icon appears with the line-free tooltip.
start_copy first
FIRST=$COPY_PID
wait_until 30 tray_window >/dev/null || fail "the tray icon did not appear"
wait_until 10 tooltip_is "$FREE" || fail "not the line-free tooltip"
snap started

# A second copy says so in the load error box, and ends.
start_copy second
wait_until 30 has_window "ロードエラー" || fail "no ロードエラー box"
texts "ロードエラー" | grep -qxF "このアプリケーションはすでに開かれています。" || fail "not the second-copy text"
snap second-copy
closes_with "ロードエラー" Return
wait_until 20 ended "$COPY_PID" || fail "the second copy did not end"
wait "$COPY_PID" || fail "the second copy ended with status $?"
running "$FIRST" || fail "the first copy ended"

# The popup's first item: the log viewer; Enter closes it.
printf 'PC01\x82\xaa\x81\x41 1998/09/03 10:15:00 \x90\xda\x91\xb1\r\n' >"$T/share/kesrow.log"
choose_item 0
wait_until 10 has_window "$LOG_VIEWER" || fail "item 1 did not open the log viewer"
texts "$LOG_VIEWER" | grep -qxF "PC01が、 1998/09/03 10:15:00 接続" || fail "the log viewer lacks the log: $(texts "$LOG_VIEWER" | head -3)"
snap log-viewer
closes_with "$LOG_VIEWER" Return

# The second: the server path box with the stored path; Esc leaves pas.txt alone.
cp "$T/office/pas.txt" "$T/pas.before"
choose_item 1
wait_until 10 has_window "ケスロウ" || fail "item 2 did not open the server path box"
texts "ケスロウ" | grep -qxF "$(winpath "$T/share")\\" || fail "the box does not offer the stored path"
snap server-path
closes_with "ケスロウ" Escape
cmp -s "$T/pas.before" "$T/office/pas.txt" || fail "cancelling changed pas.txt"

# The third: the About box; Alt+S starts the tool the registry names, the box stays.
choose_item 2
wait_until 10 has_window "$ABOUT" || fail "item 3 did not open the About box"
snap about
w=$(titled "$ABOUT")
xdotool windowfocus --sync "$w"
sleep 0.3
xdotool key alt+s
wait_until 20 test -e "$T/tool/msinfo32.exe.started" || fail "Alt+S did not start the system information tool"
has_window "$ABOUT" || fail "the About box closed after Alt+S"
closes_with "$ABOUT" Escape
running "$FIRST" || fail "the first copy ended"

# A Linux console copy, a computer of its own with a dial-up line, claims:
# the Windows copy shows the prohibition icon with its name.
mkfifo "$T/line.fifo"
exec 7<>"$T/line.fifo"
(cd "$T/linux" && exec unshare --net --uts -- bash -c '
    hostname linux-pc
    "$1" ppp0 <"$2" >"$3" 2>&1 &
    exec "$4" --console' line "$DIALUP_LINE" "$T/line.fifo" "$T/line.out" "$LINUX_KESROW" \
    </dev/null >"$T/linux.out" 2>&1 7>&-) &
LINUX=$!
PIDS+=("$LINUX")
wait_until 20 status_is linux-pc || fail "the Linux copy did not claim the line"
wait_until 20 tooltip_is "ダイアルアップにlinux-pcさんが接続中" || fail "the Windows copy does not show the Linux claim"
snap linux-claim
exec 7>&-  # hang up
wait_until 20 status_is OK || fail "the Linux copy did not release the line"
wait_until 20 tooltip_is "$FREE" || fail "the Windows copy did not see the release"

# This computer dials: the Windows copy claims, the Linux copy shows it.
: >"$T/line-up"
wait_until 20 status_is "$HOST" || fail "the Windows copy did not claim the line"
wait_until 20 grep -qxF "icon 2 ダイアルアップに${HOST}さんが接続中" "$T/linux.out" || fail "the Linux copy does not show the Windows claim"
wait_until 20 tooltip_is "ダイアルアップに${HOST}さんが接続中" || fail "not the holder's tooltip"
snap windows-claim

# 終了 while this computer holds the line: OK and one disconnect line.
choose_item 3
wait_until 20 ended "$FIRST" || fail "終了 did not end the copy"
status_is OK || fail "the status file is not exactly OK CR LF after 終了"
kill -TERM "$LINUX"
wait "$LINUX"
for kind in '\x90\xda\x91\xb1' '\x90\xd8\x92\x66'; do  # 接続, 切断
    [[ $(line_shape linux-pc "$kind" | od -c) == "$(line_shape "$HOST" "$kind" | od -c)" ]] ||
        fail "the two copies' lines differ"
    [[ $(line_shape "$HOST" "$kind" | wc -l) == 1 ]] || fail "not exactly one such line from this computer"
done
echo PASS
