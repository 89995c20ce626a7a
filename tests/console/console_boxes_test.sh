#!/bin/bash
# The console copy's boxes as a user at a pipe sees them: the transcript on
# standard error, the answers read from standard input, pas.txt byte by
# byte, and the exit status.
#
#   console_boxes_test.sh <kesrow>
set -u
KESROW=$(realpath "$1")
T=$(mktemp -d "${TMPDIR:-/tmp}/console-boxes.XXXXXX")
PID=""
cleanup() {
    [[ -n $PID ]] && kill -KILL "$PID" 2>/dev/null
    rm -rf "$T"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; echo "--- stderr"; cat "$T/err" 2>/dev/null; exit 1; }

QUESTION=$'[ケスロウ]\n現在このコンピュータは、ネットワーク環境ではありません。\nサーバパスの変更を行う時はＯＫを押して下さい\nOK? (y/N) '
PROMPT=$'[ケスロウ]\nサーバパスを入力して下さい\n最後は/でくくること\n'
REJECTED=$'[ケスロウ]\nサーバパスの最後は/でくくって下さい\n'
CHANGED=$'[ケスロウ]\nサーバパスの変更後はプログラムを終了します\n'

# run_copy <stdin text>: a copy in $T/cwd whose shared folder has no status
# file, so start-up asks for a new server path.
run_copy() {
    rm -rf "$T/cwd" "$T/run"
    mkdir -p "$T/cwd" "$T/run"
    chmod 700 "$T/run"
    printf '%s' "$T/nowhere/" >"$T/cwd/pas.txt"
    (cd "$T/cwd" && printf '%s' "$1" |
        XDG_RUNTIME_DIR=$T/run timeout 20 "$KESROW" --console >"$T/out" 2>"$T/err")
}

# expect_run <case> <stdin text> <transcript on stderr> <pas.txt as a printf format> [<exit status>]
# A box that meets the end of its input had nobody to answer: status 1, so a
# service manager starts the copy again.
expect_run() {
    local status=0
    run_copy "$2" || status=$?
    [[ $status == "${5:-0}" ]] || fail "$1: exit status $status"
    [[ $(cat "$T/err"; echo .) == "$3." ]] || fail "$1: transcript differs"
    [[ $(od -An -c "$T/cwd/pas.txt") == "$(printf "$4" | od -An -c)" ]] || fail "$1: pas.txt"
    [[ ! -s $T/out ]] || fail "$1: an icon without start-up"
}
expect_run "new path" $'y\n'"$T/new/"$'\n' "${QUESTION}y"$'\n'"${PROMPT}[$T/nowhere/] $T/new/"$'\n'"$CHANGED" \
    "$T/new/\r\n"
expect_run "default accepted" $'yes\n\n' "${QUESTION}yes"$'\n'"${PROMPT}[$T/nowhere/] "$'\n'"$CHANGED" \
    "$T/nowhere/\r\n"
expect_run "cancel" $'n\n' "${QUESTION}n"$'\n' "$T/nowhere/"
expect_run "only y or yes is OK" $'Y\n' "${QUESTION}Y"$'\n' "$T/nowhere/"
expect_run "end of input is Cancel" '' "${QUESTION}(end of input)"$'\n' "$T/nowhere/" 1
expect_run "rejected, then end of input" $'y\n/x\n' \
    "${QUESTION}y"$'\n'"${PROMPT}[$T/nowhere/] /x"$'\n'"${REJECTED}${PROMPT}[/x] (end of input)"$'\n' "$T/nowhere/" 1

# A stop signal while a box waits for its answer ends the copy with 0.
rm -rf "$T/cwd" "$T/run"; mkdir -p "$T/cwd" "$T/run"; chmod 700 "$T/run"
printf '%s/\r\n' "$T/nowhere" >"$T/cwd/pas.txt"
mkfifo "$T/in"
(cd "$T/cwd" && exec env XDG_RUNTIME_DIR="$T/run" "$KESROW" --console <>"$T/in" >"$T/out" 2>"$T/err") &
PID=$!
for _ in $(seq 200); do [[ $(cat "$T/err") == *"OK? (y/N) " ]] && break; sleep 0.05; done
[[ $(cat "$T/err") == *"OK? (y/N) " ]] || fail "no question"
kill -TERM "$PID"
wait "$PID" || fail "exit status $? after SIGTERM in a box"
PID=""
echo "PASS console boxes"
