#!/bin/bash
# kesrow.exe under Wine (Japanese locale) on Xvfb with trayer, no window manager: the icon, the second copy's
# box, the popup's four items and their dialogs; a Linux console copy on a computer of its own sees the Windows
# copy's claim and the Windows copy its claim. 終了 and logging off release.
#   desktop_test.sh <kesrow.exe> <wine folder> <fake rasapi32.dll> <window_text.exe>
#                   <started_marker.exe> <linux kesrow>
source "$(dirname "$0")/../tools/process_lib.sh"
source "$(dirname "$0")/../gui/screen_lib.sh"
need_root
EXE=$(realpath "$1") WINE_DIR=$(realpath "$2") PROBE=$(realpath "$4") HERE=$(cd "$(dirname "$0")" && pwd) HOST=$(hostname)
work_folder wine && mkdir "$T/bin" && cp "$6" "$T/bin/" && LINUX_KESROW=$T/bin/$(basename "$6")  # seen by the Linux computer, whose /tmp is its own
winpath() { printf 'Z:%s' "${1//\//\\}"; }  # Windows sees this folder through drive Z:
demo_share "$T/office" OK "$(winpath "$T/share")\\" && demo_share "$T/linux"
printf 'PC01\x82\xaa\x81\x41 1998/09/03 10:15:00 \x90\xda\x91\xb1\r\n' >"$SHARE/kesrow.log"  # PC01 connected
mkdir -p "$T/tool" && cp "$5" "$T/tool/msinfo32.exe"
FREE="ダイアルアップ接続している人はいません" LOG_VIEWER="接続時間ログ情報" ABOUT="ケスロウのﾊﾞｰｼﾞｮﾝ情報"
export WINEPREFIX=$WINE_DIR/prefix
dump() { tail -n 5 "$T"/*.out "$T"/*.err; log_tokens; shot failed; }
end_more() { wineserver -k 2>/dev/null; }
wine_run() { sh "$HERE/wine_run.sh" "$WINE_DIR" "$@"; }
# Every user's default, for a working folder without pas.txt of its own.
mkdir -p "$WINEPREFIX/drive_c/ProgramData/kesrow" && cp "$T/office/pas.txt" "$WINEPREFIX/drive_c/ProgramData/kesrow/"
start_screen
# The other tests' Wine has no display: this one's starts afresh on ours, with a simulated dial-up line; the
# system information tool comes later.
end_more; cp "$3" "$WINEPREFIX/drive_c/windows/system32/rasapi32.dll"

start_exe() { start_copy "$1" "$T/office" KESROW_DIALUP_FILE="$(winpath "$T/line-up")" WINEDLLOVERRIDES=rasapi32=n \
    sh "$HERE/wine_run.sh" "$WINE_DIR" "$EXE"; }
texts() { wine_run "$PROBE" "$1" | tr -d '\r'; }  # of the window titled so, or "tooltip"
# The copy's icon: Wine's explorer docks one window per icon into trayer.
is_docked() { xprop -id "$1" _XEMBED_INFO 2>/dev/null | grep -q ' = '; }
tray_window() { first_window is_docked --class explorer.exe; }
popup() { first_window is_popup --class kesrow.exe; }
tooltip_is() {  # the text shown when the pointer comes to rest on the icon
    xdotool mousemove 0 400 mousemove --window "$(tray_window)" 9 14 2>/dev/null && sleep 0.8 || return 1
    [[ $(texts tooltip) == "$1" ]]
}
held() { echo "ダイアルアップに$1さんが接続中"; }

start_exe first && FIRST=$PID
wait_until 60 tray_window >/dev/null && wait_until 10 tooltip_is "$FREE" || fail "no tray icon saying that the line is free"
start_exe second
wait_until 30 has_window "ロードエラー" && shot second_copy || fail "no ロードエラー box"
texts "ロードエラー" | grep -qxF "このアプリケーションはすでに開かれています。" && closes_with "ロードエラー" Return || fail "not the second-copy text"
ended_with "$PID" 0 || fail "the second copy did not end with status 0"

choose 0 "$LOG_VIEWER"
texts "$LOG_VIEWER" | grep -qxF "PC01が、 1998/09/03 10:15:00 接続" && closes_with "$LOG_VIEWER" Return || fail "the log viewer lacks the log"
choose 1 "ケスロウ"
texts "ケスロウ" | grep -qxF "$(winpath "$SHARE")\\" && closes_with "ケスロウ" Escape || fail "the box does not offer the stored path"
choose 2 "$ABOUT" && key_to "$ABOUT" alt+s
wait_until 10 eval '[[ $(texts "ケスロウ" | head -n 1) == "$ABOUT" ]]' && shot no_tool || fail "no no-tool box of the About box's own"
closes_with "ケスロウ" Return
wine_run reg add 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /t REG_SZ /d "$(winpath "$T/tool/msinfo32.exe")" /f >/dev/null 2>&1 || fail "reg add"
key_to "$ABOUT" alt+s && wait_until 20 test -e "$T/tool/msinfo32.exe.started" || fail "Alt+S did not start the system information tool"
has_window "$ABOUT" && closes_with "$ABOUT" Escape || fail "the About box closed after Alt+S"

# A Linux computer of its own (its own instance lock too) dials and claims: the Windows copy shows its name.
computer linux-pc && spawn start_on linux-pc --wd="$T/linux" "$LINUX_KESROW" --console </dev/null >"$T/linux.out" 2>&1
dial linux start_on linux-pc
wait_until 20 status_is linux-pc || fail "the Linux copy did not claim the line"
wait_until 20 tooltip_is "$(held linux-pc)" && shot linux_holds || fail "the Windows copy does not show the Linux claim"
hang_up linux && wait_until 20 status_is OK && wait_until 20 tooltip_is "$FREE" || fail "the Windows copy did not see the Linux copy's release"
# Both copies present, each by its own presence file, the Linux one read by kesrow.exe --status, from a folder
# without pas.txt: the share through ProgramData's.
status=$(cd "$T/tool" && wine_run "$EXE" --status)
[[ $? == 0 && $status == "$FREE"*"在席: $HOST  待機中  最終応答 "* && $status == *"在席: linux-pc  待機中  最終応答 "* ]] || fail "--status: $status"

# This computer dials: the Windows copy claims, the Linux copy shows it; 終了 releases.
: >"$T/line-up" && wait_until 20 status_is "$HOST" || fail "the Windows copy did not claim the line"
saw 20 "icon 2 $(held "$HOST")" "$T/linux.out" && wait_until 20 tooltip_is "$(held "$HOST")" || fail "the claim not shown by both copies"
choose 3 && ended_with "$FIRST" 0 && status_is OK || fail "終了 did not end the copy with 0 releasing the line"
# Logging off while this computer holds the line runs the same unload path.
start_exe logoff && wait_until 30 status_is "$HOST" || fail "the copy did not claim the line again"
wine_run wineboot --end-session >/dev/null 2>&1
ended_with "$PID" 0 && status_is OK || fail "logging off did not end the copy releasing the line"
# Every line, Linux or Windows, exactly of the program's shape and in order.
[[ $(log_tokens) == "C:PC01 C:linux-pc D:linux-pc C:$HOST D:$HOST C:$HOST D:$HOST " ]] || fail "not the log expected"
# A month's CSV redirected to a file: the Linux copy's bytes, BOM and all.
cp932 $'経理PCが、 2026/11/02 09:00:00 接続\r\n経理PCが、 2026/11/02 09:30:15 切断\r\n' >>"$SHARE/kesrow.log"
(cd "$T/office" && wine_run "$EXE" --report 2026-11 --csv >"$T/win.csv") || fail "--report --csv failed"
(cd "$T/linux" && "$LINUX_KESROW" --report 2026-11 --csv >"$T/linux.csv") && grep -q 経理PC "$T/linux.csv" || fail "no Linux report"
cmp "$T/linux.csv" "$T/win.csv" || fail "the Windows CSV is not the Linux copy's"
echo PASS
