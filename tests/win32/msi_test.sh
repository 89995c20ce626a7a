#!/bin/bash
# The installer under Wine: silent install with the server path, the menu entry's copy, upgrade, removal.
#   msi_test.sh <wine folder> <kesrow-V-x64.msi> <fake rasapi32.dll> <make_msi.sh and its first arguments>
source "$(dirname "$0")/../tools/process_lib.sh" && source "$(dirname "$0")/../gui/screen_lib.sh"
WINE_DIR=$(realpath "$1") MSI=$(realpath "$2") RASAPI=$(realpath "$3") HERE=$(cd "$(dirname "$0")" && pwd) && shift 3
work_folder msi && export WINEPREFIX=$WINE_DIR/prefix SHARE=$T/share C=$WINE_DIR/prefix/drive_c
V=${MSI##*/kesrow-} && V=${V%-x64.msi} && NEWER=$((${V%%.*} + 1)).0.0 HOST=$(hostname)
end_more() { wineserver -k 2>/dev/null; }; winpath() { printf 'Z:%s' "${1//\//\\}"; }
wine_run() { sh "$HERE/wine_run.sh" "$WINE_DIR" "$@"; }
msiexec() { wine_run msiexec "$1" "$(winpath "$2")" /qn "${@:3}" || fail "msiexec $*"; }
installed() { find "$C" -path '*/Programs/ケスロウ.lnk' -o -path '*/StartUp/ケスロウ.lnk' -o -path '*/Program Files/kesrow*' | wc -l; }
listed() { wine_run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | iconv -f CP932 -t UTF-8 | awk -v RS='\r\n' '/ (DisplayName|DisplayVersion|Publisher) / { printf "%s ", $3 }'; }
is_product() { [[ $(installed) == 4 && $(listed) == "ケスロウ $1 ケスロウ開発グループ " ]]; }  # exe, folder, 2 entries
server_path_kept() { cmp -s <(cp932 "$(winpath "$T")\\共有\\"; printf '\r\n') "$C/ProgramData/kesrow/pas.txt"; }

msiexec /i "$MSI" "SERVERPATH=$(winpath "$T")\\共有\\" && server_path_kept && is_product "$V" || fail "not installed as expected: $(installed) files, listed: $(listed)"
mkdir "$SHARE" && printf 'OK\r\n' >"$SHARE/kesrow.txt" && printf '%s\\\r\n' "$(winpath "$SHARE")" >"$C/users/$(id -un)/pas.txt"
cp "$RASAPI" "$C/windows/system32/rasapi32.dll" && start_screen notray && end_more  # Wine afresh on our display
KESROW_DIALUP_FILE=$(winpath "$T/line-up") WINEDLLOVERRIDES=rasapi32=n wine_run start /unix "$(find "$C" -path '*/Programs/ケスロウ.lnk')"
: >"$T/line-up" && wait_until 60 status_is "$HOST" || fail "the menu entry's copy, on the pas.txt in its working folder (the profile), did not claim the line"
rm "$T/line-up" && wait_until 20 status_is OK && end_more || fail "the menu entry's copy did not release the line"
"$@" "$T/newer.msi" "$NEWER" && msiexec /i "$T/newer.msi" && is_product "$NEWER" || fail "not upgraded in place: $(installed) files, listed: $(listed)"
msiexec /x "$T/newer.msi" && [[ $(installed) == 0 && -z $(listed) ]] && server_path_kept || fail "removal left $(installed) files, listed: $(listed)"
