#!/bin/bash
# kesrow.exe under Wine on a virtual desktop: Xvfb with trayer as the
# notification area and no window manager, a Japanese locale. The icon, the
# second copy's box, the popup's four items (log viewer, server path box,
# About box and its tool, 終了); a Linux console copy, a computer of its own
# on the same folder, sees the Windows copy's claim and the Windows copy
# its claim; both write lines of one shape. 終了 and logging off release.
#   desktop_test.sh <kesrow.exe> <wine folder> <fake rasapi32.dll> <window_text.exe>
#                   <started_marker.exe> <linux kesrow> <dialup_line>
source "$(dirname "$0")/../tools/process_lib.sh"
need_root
EXE=$(realpath "$1") WINE_DIR=$(realpath "$2") PROBE=$(realpath "$4") LINUX_KESROW=$(realpath "$6")
DIALUP_LINE=$(realpath "$7") HERE=$(cd "$(dirname "$0")" && pwd) HOST=$(hostname)
work_folder wine
SHARE=$T/share
mkdir -p "$SHARE" "$T/office" "$T/linux" "$T/tool"
printf 'OK\r\n' >"$SHARE/kesrow.txt"
printf 'PC01\x82\xaa\x81\x41 1998/09/03 10:15:00 \x90\xda\x91\xb1\r\n' >"$SHARE/kesrow.log"  # PC01 connected
cp "$5" "$T/tool/msinfo32.exe"
FREE="ダイアルアップ接続している人はいません" LOG_VIEWER="接続時間ログ情報" ABOUT="ケスロウのﾊﾞｰｼﾞｮﾝ情報"
export WINEPREFIX=$WINE_DIR/prefix
dump() { tail -n 5 "$T"/*.out; log_tokens; timeout 10 import -window root "$T/failed.png"; echo "screen: $T/failed.png"; }
end_more() { wineserver -k 2>/dev/null; }

wine_run() { sh "$HERE/wine_run.sh" "$WINE_DIR" "$@"; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }  # Windows sees this folder through drive Z:
printf '%s\\\r\n' "$(winpath "$SHARE")" >"$T/office/pas.txt"
printf '%s/\r\n' "$SHARE" >"$T/linux/pas.txt"

# The version record, its Japanese texts in UTF-16 (ケスロウ), language 0x0411, Unicode.
x86_64-w64-mingw32-windres -J coff -O rc -i "$EXE" >"$T/version.rc" || fail "no resources"
grep -qF 'VALUE "ProductName", L"\x30b1\x30b9\x30ed\x30a6"' "$T/version.rc" && grep -qF 'VALUE "FileVersion", "3.00.0003"' \
    "$T/version.rc" && grep -qF 'VALUE "Translation", 0x411, 1200' "$T/version.rc" || fail "not the version record"

spawn Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$T/display" >"$T/xvfb.out" 2>&1
wait_until 20 test -s "$T/display" || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$T/display")
wait_until 20 xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb does not answer"
for attempt in 1 2 3; do
    spawn trayer --edge top --align right --widthtype pixel --width 200 --height 32 >>"$T/trayer.out" 2>&1
    wait_until 10 xdotool search --onlyvisible --class trayer >/dev/null 2>&1 && break
    kill -TERM "${PIDS[-1]}" && ((attempt < 3)) || fail "trayer did not start"
done
# The other tests' Wine has no display: this one's starts afresh on ours,
# with a simulated dial-up line and a system information tool.
wineserver -k 2>/dev/null
cp "$3" "$WINEPREFIX/drive_c/windows/system32/rasapi32.dll"
wine_run reg add 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /t REG_SZ \
    /d "$(winpath "$T/tool/msinfo32.exe")" /f >/dev/null 2>&1 || fail "reg add"

start_copy() {  # <name>: kesrow.exe in the office folder; its pid in PID
    spawn env -C "$T/office" KESROW_DIALUP_FILE="$(winpath "$T/line-up")" WINEDLLOVERRIDES="rasapi32=n" \
        sh "$HERE/wine_run.sh" "$WINE_DIR" "$EXE" </dev/null >"$T/$1.out" 2>&1
    PID=${PIDS[-1]}
}
titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [[ -n $(titled "$1") ]]; }
no_window() { [[ -z $(titled "$1") ]]; }
texts() { wine_run "$PROBE" "$1" | tr -d '\r'; }  # of the window titled so, or "tooltip"
snap() { [[ -z ${KEEP_SHOTS:-} ]] || { mkdir -p "$KEEP_SHOTS" && timeout 10 import -window root "$KEEP_SHOTS/$1.png"; }; }

# Wine takes the focus a moment after X gives it: a key that came too early is sent again.
closes_with() {  # <title> <key>
    for attempt in 1 2 3; do
        has_window "$1" || return 0
        xdotool windowfocus --sync "$(titled "$1")" 2>/dev/null; sleep 0.3; xdotool key "$2"
        wait_until 3 no_window "$1" && return 0
    done
    fail "$2 did not close $1"
}
# The copy's icon: Wine's explorer docks one window per icon into trayer.
tray_window() {
    for w in $(xdotool search --onlyvisible --class explorer.exe 2>/dev/null); do
        xprop -id "$w" _XEMBED_INFO 2>/dev/null | grep -q ' = ' && echo "$w" && return 0
    done
    return 1
}
tooltip_is() {  # the text shown when the pointer comes to rest on the icon
    xdotool mousemove 0 400 mousemove --window "$(tray_window)" 9 14 2>/dev/null || return 1
    sleep 0.8
    [[ $(texts tooltip) == "$1" ]]
}
popup_window() {
    for w in $(xdotool search --onlyvisible --class kesrow.exe 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$w" && return 0
    done
    return 1
}
choose_item() {  # <index>: opens the popup and clicks that of its four equal rows
    local X Y WIDTH HEIGHT
    xdotool mousemove --window "$(tray_window)" 9 14 click 3
    wait_until 10 popup_window >/dev/null || fail "no popup menu"
    sleep 0.3
    [[ $1 == 0 ]] && snap popup
    eval "$(xdotool getwindowgeometry --shell "$(popup_window)" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * (2 * $1 + 1) / 8)) click 1
}

start_copy first
FIRST=$PID
wait_until 60 tray_window >/dev/null || fail "the tray icon did not appear"
wait_until 10 tooltip_is "$FREE" || fail "not the line-free tooltip"
snap started
start_copy second
wait_until 30 has_window "ロードエラー" || fail "no ロードエラー box"
texts "ロードエラー" | grep -qxF "このアプリケーションはすでに開かれています。" || fail "not the second-copy text"
snap second-copy
closes_with "ロードエラー" Return
ended_with "$PID" 0 || fail "the second copy did not end with status 0"

choose_item 0
wait_until 10 has_window "$LOG_VIEWER" || fail "item 1 did not open the log viewer"
texts "$LOG_VIEWER" | grep -qxF "PC01が、 1998/09/03 10:15:00 接続" || fail "the log viewer lacks the log"
snap log-viewer
closes_with "$LOG_VIEWER" Return
cp "$T/office/pas.txt" "$T/pas.before"
choose_item 1
wait_until 10 has_window "ケスロウ" || fail "item 2 did not open the server path box"
texts "ケスロウ" | grep -qxF "$(winpath "$SHARE")\\" || fail "the box does not offer the stored path"
snap server-path
closes_with "ケスロウ" Escape
cmp -s "$T/pas.before" "$T/office/pas.txt" || fail "cancelling changed pas.txt"
choose_item 2
wait_until 10 has_window "$ABOUT" || fail "item 3 did not open the About box"
snap about
xdotool windowfocus --sync "$(titled "$ABOUT")" && sleep 0.3 && xdotool key alt+s
wait_until 20 test -e "$T/tool/msinfo32.exe.started" || fail "Alt+S did not start the system information tool"
has_window "$ABOUT" || fail "the About box closed after Alt+S"
closes_with "$ABOUT" Escape
kill -0 "$FIRST" || fail "the first copy ended"

# A Linux computer of its own dials and claims: the Windows copy shows its name.
spawn setpriv --pdeathsig KILL unshare --net --uts -- bash -c 'hostname linux-pc && : >"$1" && exec sleep infinity' \
    machine "$T/linux.ready"
LINUX_PC=${PIDS[-1]}
wait_until 10 test -e "$T/linux.ready" || fail "no Linux computer"
spawn env -C "$T/linux" nsenter -t "$LINUX_PC" --net --uts "$LINUX_KESROW" --console </dev/null >"$T/linux.out" 2>&1
dial linux nsenter -t "$LINUX_PC" --net
wait_until 20 status_is linux-pc || fail "the Linux copy did not claim the line"
wait_until 20 tooltip_is "ダイアルアップにlinux-pcさんが接続中" || fail "the Windows copy does not show the Linux claim"
snap linux-claim
hang_up linux
wait_until 20 status_is OK || fail "the Linux copy did not release the line"
wait_until 20 tooltip_is "$FREE" || fail "the Windows copy did not see the release"

# This computer dials: the Windows copy claims, the Linux copy shows it; 終了 releases.
: >"$T/line-up"
wait_until 20 status_is "$HOST" || fail "the Windows copy did not claim the line"
wait_until 20 grep -qxF "icon 2 ダイアルアップに${HOST}さんが接続中" "$T/linux.out" || fail "the Linux copy does not show the claim"
wait_until 20 tooltip_is "ダイアルアップに${HOST}さんが接続中" || fail "not the holder's tooltip"
snap windows-claim
choose_item 3
ended_with "$FIRST" 0 || fail "終了 did not end the copy with status 0"
status_is OK || fail "the status file is not exactly OK CR LF after 終了"

# Logging off while this computer holds the line runs the same unload path.
start_copy logoff
wait_until 30 status_is "$HOST" || fail "the copy did not claim the line again"
wine_run wineboot --end-session >/dev/null 2>&1
wait_until 20 eval '! kill -0 '"$PID"' 2>/dev/null' || fail "the end of the session did not end the copy"
status_is OK || fail "logging off did not release the line"
# Every line, Linux or Windows, exactly of the program's shape and in order.
[[ $(log_tokens) == "C:PC01 C:linux-pc D:linux-pc C:$HOST D:$HOST C:$HOST D:$HOST " ]] || fail "not the log expected"
echo PASS
