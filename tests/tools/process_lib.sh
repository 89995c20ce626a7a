# Shared by the tests of the program as a process: namespaces and a work
# folder of their own, waiting, failing with a dump, ending what was started
# (by pid), a dial-up line, and the shared files byte by byte. Source it from
# bash; set SHARE to the shared folder.
set -u
PIDS=()
LIB=$(dirname "${BASH_SOURCE[0]}")

fail() {
    echo "FAIL: $*" >&2
    if declare -F dump >/dev/null; then dump >&2; fi
    exit 1
}
need_root() { ((EUID == 0)) || { echo "skipped: needs root"; exit 77; }; }
# own_namespaces "<more unshare options>" "$0" "$@": as root, the script runs
# again in a mount namespace whose /run/user and root's cache are new tmpfs,
# so the copies' instance locks (found by user id, not by the environment)
# are the test's alone.
own_namespaces() {
    [[ $EUID == 0 && -z ${KESROW_OWN_NS:-} ]] || return 0
    KESROW_OWN_NS=1 exec unshare --mount --propagation private $1 -- bash -c 'mount -t tmpfs -o mode=755 tmpfs /run/user &&
        mkdir -m 700 /run/user/0 && mkdir -p ~root/.cache && mount -t tmpfs -o mode=700 tmpfs ~root/.cache && exec bash "$0" "$@"' "${@:2}"
}

# work_folder <name>: T, removed on exit (kept with KEEP=1) with everything remembered.
work_folder() {
    T=$(mktemp -d "${TMPDIR:-/tmp}/kesrow-$1.XXXXXX")
    trap end_all EXIT
    trap 'exit 1' INT TERM HUP
}
spawn() { "$@" <&0 & PIDS+=($!); }  # in the background, ended at exit; its pid: ${PIDS[-1]}
end_all() {
    local rc=$? i
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill -TERM "${PIDS[i]}" 2>/dev/null; done
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do wait "${PIDS[i]}" 2>/dev/null; done
    if declare -F end_more >/dev/null; then end_more; fi
    [[ -n ${KEEP:-} ]] || rm -rf "$T"
}
# demo_share <office folder> [status] [path in pas.txt]: SHARE holding the status
# file (OK unless told), and the folder with a pas.txt naming it.
demo_share() {
    SHARE=$T/share
    mkdir -p "$SHARE" "$1" && printf '%s\r\n' "${2:-OK}" >"$SHARE/kesrow.txt" && printf '%s\r\n' "${3:-$SHARE/}" >"$1/pas.txt"
}

# wait_until <seconds> <command...>: polls the command until it succeeds.
wait_until() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do ((SECONDS < end)) && sleep 0.05 || return 1; done
}
# saw <seconds> <text> <file>: waits for a line holding the text.
saw() { wait_until "$1" grep -qF -- "$2" "$3"; }
ended_with() {  # <pid> <status>
    local rc=0
    wait_until 20 eval '! kill -0 '"$1"' 2>/dev/null' || return 1
    wait "$1" 2>/dev/null || rc=$?
    [[ $rc == "$2" ]] || { echo "exit status $rc" >&2; return 1; }
}

# dial <name> [command prefix...]: a PPP link with carrier, through the prefix
# (nsenter into a computer); hang_up <name> ends it.
declare -A LINE=()
dial() {
    rm -f "$T/$1.line" && mkfifo "$T/$1.line"
    spawn "${@:2}" "$DIALUP_LINE" ppp0 <>"$T/$1.line" >"$T/$1.line.out" 2>&1
    LINE[$1]=${PIDS[-1]}
    wait_until 10 grep -qx up "$T/$1.line.out" || fail "dial-up line of $1"
}
hang_up() { kill -TERM "${LINE[$1]}" && wait "${LINE[$1]}"; }

# same_bytes <file> <printf format> [arguments...]
same_bytes() { cmp -s "$1" <(printf "${@:2}"); }
status_is() { same_bytes "$SHARE/kesrow.txt" '%s\r\n' "$1"; }  # host names are ASCII
log_size() { stat -c %s "$SHARE/kesrow.log" 2>/dev/null || echo 0; }
BOX_WARNING=$'\a[ケスロウ]\nタスクバー内のアイコンに禁止マークがある時は電話接続をしてはいけません!!\n直ちに切断して下さい\n\a'  # with its two beeps
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
utf8() { iconv -f CP932 -t UTF-8 "$@"; }
PC01_CONNECTED='PC01\x82\xaa\x81\x41 1998/09/03 10:15:00 \x90\xda\x91\xb1\r\n'  # for printf: a log's first line

# The log after a byte offset as C:<host> D:<host> V:<host> T:<host>/<by>
# (connect, disconnect, violation, disconnect taken over by another); fails
# on any line of another shape or ending.
log_tokens() {
    local -A kind=([接続]=C [切断]=D)
    local line out="" when='[0-9]{4}/[0-9]{2}/[0-9]{2}( [0-9]{1,2}:[0-9]{2}:[0-9]{2})?' host='([A-Za-z0-9._-]+)'
    tail -c +$((${1:-0} + 1)) "$SHARE/kesrow.log" 2>/dev/null | utf8 >"$T/log.utf8" || return 1
    while IFS= read -r line || { [[ -z $line ]] || return 1; false; }; do
        [[ $line == *$'\r' ]] || return 1
        line=${line%$'\r'}
        if [[ $line =~ ^${host}が、\ ${when}\ (接続|切断)$ ]]; then out+="${kind[${BASH_REMATCH[3]}]}:${BASH_REMATCH[1]} "
        elif [[ $line =~ ^${host}が、\ ${when}\ 切断（${host}が引き継ぎ）$ ]]; then out+="T:${BASH_REMATCH[1]}/${BASH_REMATCH[3]} "
        elif [[ $line =~ ^※※※※\ ${host}の接続違反が\ ${when}\ にありました$ ]]; then out+="V:${BASH_REMATCH[1]} "
        else return 1; fi
    done <"$T/log.utf8"
    echo "$out"
}
