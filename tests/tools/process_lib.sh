# Shared by the tests of the program as a process: waiting, failing with a
# dump, ending what was started (by pid), a dial-up line, and the shared
# files byte by byte. Source it from bash; set SHARE to the shared folder.
set -u
PIDS=()

fail() {
    echo "FAIL: $*" >&2
    if declare -F dump >/dev/null; then dump >&2; fi
    exit 1
}
# In a mount namespace of the test's own: the runtime folder and root's cache,
# where the copies' instance locks are, are new tmpfs.
own_locks() {
    mount -t tmpfs -o mode=755 tmpfs /run/user && mkdir -m 700 /run/user/0 &&
        mkdir -p ~root/.cache && mount -t tmpfs -o mode=700 tmpfs ~root/.cache
}
need_root() { ((EUID == 0)) || { echo "skipped: needs root"; exit 77; }; }

# work_folder <name> [parent]: T, removed on exit with everything remembered.
work_folder() {
    T=$(mktemp -d "${2:-${TMPDIR:-/tmp}}/kesrow-$1.XXXXXX")
    trap end_all EXIT
    trap 'exit 1' INT TERM HUP
}
spawn() { "$@" <&0 & PIDS+=($!); }  # in the background, ended at exit; its pid: ${PIDS[-1]}
end_all() {
    local rc=$? i
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill -TERM "${PIDS[i]}" 2>/dev/null; done
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do wait "${PIDS[i]}" 2>/dev/null; done
    if declare -F end_more >/dev/null; then end_more; fi
    ((rc == 0)) || [[ -z ${KEEP:-} ]] && rm -rf "$T"
}

# wait_until <seconds> <command...>: polls the command until it succeeds.
wait_until() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do ((SECONDS < end)) && sleep 0.05 || return 1; done
}

# ended_with <pid> <status>
ended_with() {
    local rc=0
    wait_until 20 eval '! kill -0 '"$1"' 2>/dev/null' || return 1
    wait "$1" 2>/dev/null || rc=$?
    [[ $rc == "$2" ]] || { echo "exit status $rc" >&2; return 1; }
}

# dial <name> [command prefix...]: a PPP link with carrier, through the prefix
# (nsenter into a computer); hang_up <name> ends it.
declare -A LINE=()
dial() {
    local name=$1
    shift
    rm -f "$T/$name.line" && mkfifo "$T/$name.line"
    spawn "$@" "$DIALUP_LINE" ppp0 <>"$T/$name.line" >"$T/$name.line.out" 2>&1
    LINE[$name]=${PIDS[-1]}
    wait_until 10 grep -qx up "$T/$name.line.out" || fail "dial-up line of $name"
}
hang_up() { kill -TERM "${LINE[$1]}" && wait "${LINE[$1]}"; }

# The status file holds exactly the value CR LF (host names are ASCII).
status_is() { cmp -s <(printf '%s\r\n' "$1") "$SHARE/kesrow.txt"; }
log_size() { stat -c %s "$SHARE/kesrow.log" 2>/dev/null || echo 0; }
BOX_WARNING=$'\a[ケスロウ]\nタスクバー内のアイコンに禁止マークがある時は電話接続をしてはいけません!!\n直ちに切断して下さい\n\a'  # with its two beeps
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

# The log after a byte offset as C:<host> D:<host> V:<host> T:<host>/<by>
# (connect, disconnect, violation, disconnect taken over by another); fails
# on any line of another shape or ending.
log_tokens() {
    local line out="" when='[0-9]{4}/[0-9]{2}/[0-9]{2}( [0-9]{1,2}:[0-9]{2}:[0-9]{2})?' host='([A-Za-z0-9._-]+)'
    tail -c +$((${1:-0} + 1)) "$SHARE/kesrow.log" 2>/dev/null | iconv -f CP932 -t UTF-8 >"$T/log.utf8" || return 1
    while IFS= read -r line || { [[ -z $line ]] || return 1; false; }; do
        [[ $line == *$'\r' ]] || return 1
        line=${line%$'\r'}
        if [[ $line =~ ^${host}が、\ ${when}\ 接続$ ]]; then out+="C:${BASH_REMATCH[1]} "
        elif [[ $line =~ ^${host}が、\ ${when}\ 切断$ ]]; then out+="D:${BASH_REMATCH[1]} "
        elif [[ $line =~ ^${host}が、\ ${when}\ 切断（${host}が引き継ぎ）$ ]]; then out+="T:${BASH_REMATCH[1]}/${BASH_REMATCH[3]} "
        elif [[ $line =~ ^※※※※\ ${host}の接続違反が\ ${when}\ にありました$ ]]; then out+="V:${BASH_REMATCH[1]} "
        else return 1; fi
    done <"$T/log.utf8"
    echo "$out"
}
