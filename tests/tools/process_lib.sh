# Shared by the tests of the program as a process: a work folder and a demo share, waiting, failing with a dump,
# ending what was started (by pid), a dial-up line, the shared files byte by byte.
set -u
PIDS=()

fail() { echo "FAIL: $*" >&2; ! declare -F dump >/dev/null || dump >&2; exit 1; }  # the test's dump, if it has one
need_root() { ((EUID == 0)) || { echo "skipped: needs root"; exit 77; }; }
# own_namespaces "<more unshare options>" "$0" "$@": as root, the script runs again with a /run/user and root's
# cache of its own, so the copies' instance locks (found by user id, not by the environment) are the test's alone.
own_namespaces() {
    [[ $EUID == 0 && -z ${KESROW_OWN_NS:-} ]] || return 0
    KESROW_OWN_NS=1 exec unshare --mount --propagation private $1 -- bash -c 'mount -t tmpfs -o mode=755 tmpfs /run/user &&
        mkdir -m 700 /run/user/0 && mkdir -p ~root/.cache && mount -t tmpfs -o mode=700 tmpfs ~root/.cache && exec bash "$0" "$@"' "${@:2}"
}

# work_folder <name>: T, removed on exit (kept with KEEP=1) with everything remembered.
work_folder() { T=$(mktemp -d "${TMPDIR:-/tmp}/kesrow-$1.XXXXXX") && trap end_all EXIT && trap 'exit 1' INT TERM HUP; }
spawn() { "$@" <&0 & PIDS+=($!); }  # in the background, ended at exit; its pid: ${PIDS[-1]}
end_all() {  # the last started first; then the test's end_more, if it has one
    local i; for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill -TERM "${PIDS[i]}" 2>/dev/null; done
    wait "${PIDS[@]}" 2>/dev/null
    ! declare -F end_more >/dev/null || end_more
    [[ -n ${KEEP:-} ]] || rm -rf "$T"
}
# start_copy <name> <folder> <environment and command...>: a copy of the program working in the folder, its
# input $IN (else none), its output in $T/<name>.out and .err; its pid in PID.
start_copy() { spawn env -C "$2" "${@:3}" <"${IN:-/dev/null}" >"$T/$1.out" 2>"$T/$1.err"; PID=${PIDS[-1]}; }
# computer <name>: network, UTS and mount namespaces that a sleeper keeps, the host name, a /tmp, /run and
# root's cache of its own, the work folder still seen; on <name> <command...> runs there, start_on in place of
# the shell (with spawn: the pid is the command's). Everything started in it ends when the test does, even when
# the test is killed.
declare -A HOLDER=()
computer() {
    setpriv --pdeathsig KILL unshare --net --uts --mount --propagation private -- bash -c '
        cd "$2" && hostname "$1" && ip link set lo up || exit 1
        for d in /tmp /run /var/tmp /dev/shm ~root/.cache; do mkdir -p "$d" && mount -t tmpfs -o mode=1777 tmpfs "$d"; done
        mkdir -p "$2" -m 700 /run/user/0 && mount --no-canonicalize --bind . "$2" && : >"$1.ready" && exec sleep infinity' computer "$1" "$T" &
    HOLDER[$1]=$! PIDS+=($!)
    wait_until 10 test -e "$T/$1.ready" || fail "computer $1"
}
on() { setpriv --pdeathsig KILL nsenter -t "${HOLDER[$1]}" --net --uts --mount "${@:2}"; }
start_on() { exec setpriv --pdeathsig KILL nsenter -t "${HOLDER[$1]}" --net --uts --mount "${@:2}"; }
# demo_share <office folder> [status] [path in pas.txt]: SHARE, its status file, and the folder's pas.txt naming it.
demo_share() {
    SHARE=$T/share && mkdir -p "$SHARE" "$1" && printf '%s\r\n' "${2:-OK}" >"$SHARE/kesrow.txt" && printf '%s\r\n' "${3:-$SHARE/}" >"$1/pas.txt"
}

# sftp_mount <mount point> [command prefix...]: SHARE through SSHFS, with an SFTP server started in place of ssh
# (through the prefix: on a computer); sftp_servers -STOP freezes every file call on every such mount.
sftp_mount() {
    printf '#!/bin/sh\necho $$ >>"%s/sftp.pids"\nexec /usr/lib/openssh/sftp-server\n' "$T" >"$T/sftp" && chmod +x "$T/sftp"
    spawn "${@:2}" sshfs -f -o ssh_command="$T/sftp",dir_cache=no,attr_timeout=0,entry_timeout=0,negative_timeout=0 ":$SHARE" "$1" 2>>"$T/sshfs.log"
    wait_until 10 "${@:2}" test -e "$1/kesrow.txt" || fail "no share at $1"
}
sftp_servers() { kill "$1" $(cat "$T/sftp.pids"); }
wait_until() {  # <seconds> <command...>: polls the command until it succeeds
    local end=$((SECONDS + $1))
    until "${@:2}"; do ((SECONDS < end)) && sleep 0.05 || return 1; done
}
saw() { wait_until "$1" grep -qF -- "$2" "$3"; }  # <seconds> <text> <file>: a line holding the text
ended_with() {  # <pid> <status>
    local rc=0
    wait_until 20 eval '! kill -0 '"$1"' 2>/dev/null' && { wait "$1" 2>/dev/null || rc=$?; } || return 1
    [[ $rc == "$2" ]] || { echo "exit status $rc" >&2; return 1; }
}

# dial <name> [command prefix...]: a PPP link ppp0, up with carrier, held by a process started through the prefix
# (nsenter into a computer) until hang_up <name> ends it and the link with it.
DIALUP_LINE='
import fcntl, signal, socket, struct, sys, time
name, control = struct.pack("16s", b"ppp0"), socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
tun = open("/dev/net/tun", "r+b", buffering=0)
fcntl.ioctl(tun, 0x400454CA, name + struct.pack("H22x", 0x1001))  # TUNSETIFF: IFF_TUN | IFF_NO_PI
fcntl.ioctl(tun, 0x400454CD, 512)  # TUNSETLINK: ARPHRD_PPP, while the link is down
flags = lambda: struct.unpack_from("H", fcntl.ioctl(control, 0x8913, name + bytes(24)), 16)[0]  # SIOCGIFFLAGS
fcntl.ioctl(control, 0x8914, name + struct.pack("H22x", flags() | 1))  # SIOCSIFFLAGS: IFF_UP
while not flags() & 0x40: time.sleep(0.01)  # IFF_RUNNING, once the kernel has run its deferred link watch
signal.signal(signal.SIGTERM, lambda *_: sys.exit())
print("up", flush=True)
signal.pause()'
declare -A LINE=()
dial() {
    spawn "${@:2}" python3 -c "$DIALUP_LINE" >"$T/$1.line.out" 2>&1 && LINE[$1]=${PIDS[-1]}
    wait_until 10 grep -qx up "$T/$1.line.out" || fail "dial-up line of $1: $(cat "$T/$1.line.out")"
}
hang_up() { kill -TERM "${LINE[$1]}" && wait "${LINE[$1]}"; }

same_bytes() { cmp -s "$1" <(printf "${@:2}"); }  # <file> <printf format> [arguments...]
status_is() { same_bytes "$SHARE/kesrow.txt" '%s\r\n' "$1"; }  # host names are ASCII
log_size() { stat -c %s "$SHARE/kesrow.log" 2>/dev/null || echo 0; }
BOX_WARNING=$'\a[ケスロウ]\nタスクバー内のアイコンに禁止マークがある時は電話接続をしてはいけません!!\n直ちに切断して下さい\n\a'  # with its two beeps
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
utf8() { iconv -f CP932 -t UTF-8 "$@"; }

# The log after a byte offset as C:<host> D:<host> V:<host> T:<host>/<by> (connect, disconnect, violation,
# disconnect taken over by another); fails on any line of another shape or ending.
log_tokens() {
    local when='[0-9]{4}/[0-9]{2}/[0-9]{2}( [0-9]{1,2}:[0-9]{2}:[0-9]{2})?' host='([A-Za-z0-9._-]+)' out
    [[ ! -e $SHARE/kesrow.log ]] || { [[ -z $(tail -c 1 "$SHARE/kesrow.log") ]] && utf8 "$SHARE/kesrow.log" >/dev/null; } &&
        out=$(tail -c +$((${1:-0} + 1)) "$SHARE/kesrow.log" 2>/dev/null | utf8 | sed -E "s#^$host(が、 $when 接続)\r\$#C:\1 #;t
            s#^$host(が、 $when 切断)\r\$#D:\1 #;t;s#^$host(が、 $when 切断（)$host(が引き継ぎ）)\r\$#T:\1/\4 #;t
            s#^※※※※ $host(の接続違反が $when にありました)\r\$#V:\1 #;t;s#.*#?#" | tr -d '\n') && [[ $out != *'?'* ]] && echo "$out"
}
