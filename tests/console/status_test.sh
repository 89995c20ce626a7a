#!/bin/bash
# --status and --report of the installed program, which finds the shared
# folder through the computer's <prefix>/etc/kesrow/pas.txt when the working
# directory has none; and the console copy starting from that file.
#   status_test.sh <build dir>
set -u
source "$(dirname "$0")/../own_runtime.sh"
T=$(mktemp -d "${TMPDIR:-/tmp}/kesrow-status.XXXXXX")
PID=""
cleanup() {
    [[ -n $PID ]] && kill -KILL "$PID" 2>/dev/null
    rm -rf "$T"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; echo "--- stdout"; cat "$T/out"; echo "--- stderr"; cat "$T/err"; exit 1; }

cmake --install "$1" --prefix "$T/pfx" >/dev/null || fail "cmake --install"
KESROW=$T/pfx/bin/kesrow
mkdir -p "$T/pfx/etc/kesrow" "$T/share" "$T/empty" "$T/own" "$T/run"
chmod 700 "$T/run"
printf '%s/share/\r\n' "$T" >"$T/pfx/etc/kesrow/pas.txt"
printf '%s/nowhere/\r\n' "$T" >"$T/own/pas.txt"   # a user's own pas.txt wins
sjis() { printf "$1" | iconv -f UTF-8 -t CP932; }
LOG=$(sjis 'PC02が、 2026/11/30 9:00:00 接続\r\nPC02が、 2026/11/30 9:30:00 切断\r\nPC02が、 2026/11/30 11:00:00 接続\r\n')

# case | working directory | status file (printf format; - none) | log (- none) | exit | text in stdout
while IFS='|' read -r name dir status log code line; do
    rm -f "$T/share/kesrow.txt" "$T/share/kesrow.log"
    [[ $status == - ]] || printf "$status" >"$T/share/kesrow.txt"
    [[ $log == - ]] || printf '%s' "$LOG" >"$T/share/kesrow.log"
    (cd "$T/$dir" && "$KESROW" --status >"$T/out" 2>"$T/err")
    got=$?
    [[ $got == "$code" ]] || fail "$name: exit status $got, not $code"
    [[ -z $line ]] || grep -qF -- "$line" "$T/out" || fail "$name: no line '$line'"
done <<'CASES'
free|empty|OK\r\n|-|0|ダイアルアップ接続している人はいません
held, since the holder's last connect|empty|PC02\r\n|log|1|接続: 2026/11/30 11:00:00 (
held, no log|empty|PC02\r\n|-|1|接続: 不明 (接続ログに記録がありません)
a name from the share is not a terminal command|empty|\033]0;x\a\r\n|-|1|ダイアルアップに\x1B]0;x\x07さんが接続中
status file emptied while a copy rewrites it|empty||-|3|
no status file|empty|-|-|3|
own pas.txt wins over the computer's|own|OK\r\n|-|3|
CASES

# The month's report as a spreadsheet reads it; a missing log cannot be reported.
printf '%s' "$LOG" >"$T/share/kesrow.log"
(cd "$T/empty" && "$KESROW" --report 2026-11 --csv >"$T/out" 2>"$T/err") || fail "--report: $?"
grep -qx $'PC02,2,[0-9]*,[0-9:]*,0,1,0\r' "$T/out" || fail "--report: no PC02 row"
rm "$T/share/kesrow.log"
(cd "$T/empty" && "$KESROW" --report >"$T/out" 2>"$T/err"); got=$?
[[ $got == 3 ]] || fail "--report without a log: $got"

# The console copy starts from the computer's pas.txt and ends on SIGTERM.
(cd "$T/empty" && exec env XDG_RUNTIME_DIR="$T/run" "$KESROW" --console </dev/null >"$T/out" 2>"$T/err") &
PID=$!
for _ in $(seq 200); do grep -q '^icon 1 ' "$T/out" && break; sleep 0.05; done
grep -q '^icon 1 ' "$T/out" || fail "the console copy did not start from the computer's pas.txt"
kill -TERM "$PID"
wait "$PID" || fail "console copy: exit status $?"
PID=""
echo "PASS status"
