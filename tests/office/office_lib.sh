# The pieces of a small office on one machine, for the office tests and the
# benchmark: computers (network, UTS and mount namespaces of their own), a
# file server in a namespace of its own behind a bridge, dial-up lines, and
# one console copy of the program per computer. Every process started here
# is remembered by pid; office_cleanup ends them and with them the mounts
# and namespaces.
#
# Needs root. Source it from bash, then: office_init <kesrow> <dialup_line>.

OFFICE_NET=10.77.0
SERVER_IP=$OFFICE_NET.1
FREE_TOOLTIP="ダイアルアップ接続している人はいません"

declare -A HOLDER=() COPY=() LINE=() MOUNTER=() MOUNT_POINT=() SHARE=() IP=()
SERVER_DAEMON=""
BACKGROUND=()   # copies, lines and mounts started in the background

office_fail() {
    echo "FAIL: $*" >&2
    office_dump >&2
    exit 1
}

office_dump() {
    local out name
    for out in "$W"/PC*/out; do
        [[ -e $out ]] || continue
        name=$(basename "$(dirname "$out")")
        echo "--- $name stdout"; cat "$out"
        echo "--- $name stderr"; cat "$W/$name/err" 2>/dev/null
    done
    echo "--- status"; od -c "$(office_status_file)" 2>/dev/null | head -5
    echo "--- log"; iconv -f CP932 -t UTF-8 "$W/share/kesrow.log" 2>/dev/null | sed "s/\r$/<CR>/" | tail -40
}

# office_init <kesrow binary> <dialup_line binary> [folder to work in]
# The work folder must not lie where the computers get private folders, so
# it defaults to the current directory (the build tree).
office_init() {
    local parent=${3:-$PWD}
    if ((EUID != 0)); then
        echo "skipped: namespaces, mounts and links need root"
        exit 77
    fi
    W=$(mktemp -d "$parent/office.XXXXXX")
    mkdir -p "$W/bin" "$W/share"
    : >"$W/pids"
    cp "$1" "$W/bin/kesrow"
    cp "$2" "$W/bin/dialup_line"
    trap office_cleanup EXIT
    trap 'exit 1' INT TERM HUP
    office_watchdog $$ &
    WATCHDOG=$!
}

# Should the test itself be killed (a CTest timeout sends SIGKILL), its
# cleanup cannot run: this process then ends what the test had started.
office_watchdog() {
    local pid
    while kill -0 "$1" 2>/dev/null; do sleep 1; done
    while read -r pid; do kill -KILL "$pid" 2>/dev/null; done <"$W/pids"
}

office_status_file() { echo "$W/share/kesrow.txt"; }
office_log_file() { echo "$W/share/kesrow.log"; }

# wait_until <seconds> <command...>: polls the command until it succeeds.
wait_until() {
    local limit=$1 start=$SECONDS
    shift
    until "$@"; do
        ((SECONDS - start < limit)) || return 1
        sleep 0.05
    done
}

remember() {
    BACKGROUND+=("$1")
    echo "$1" >>"$W/pids"
}

# A namespace holder: a sleeping process whose network, UTS and mount
# namespaces are those of one machine. The machine gets its own tmpfs on
# /tmp, /run, /var/tmp and /dev/shm, and its own runtime folder.
holder_start() {  # <name> <host name>
    local name=$1 host=$2
    mkdir -p "$W/$name/home"
    rm -f "$W/$name.ready"
    unshare --net --uts --mount --propagation private -- bash -c '
        set -e
        host=$1 work=$2
        cd "$work"
        hostname "$host"
        mount -t tmpfs -o mode=1777 tmpfs /tmp
        mount -t tmpfs -o mode=755 tmpfs /run
        mount -t tmpfs -o mode=1777 tmpfs /var/tmp
        mount -t tmpfs -o mode=1777 tmpfs /dev/shm
        # the work folder stays reachable even below one of those
        if [ ! -d "$work" ]; then mkdir -p "$work"; mount --bind . "$work"; fi
        mkdir -p -m 700 /run/user/0
        ip link set lo up
        : >"$work/$host.ready"
        exec sleep 2147483647
    ' holder "$host" "$W" &
    HOLDER[$name]=$!
    echo $! >>"$W/pids"
    wait_until 10 test -e "$W/$host.ready" || office_fail "namespace of $name did not come up"
}

# in_machine <name> [nsenter options] -- <command...>
in_machine() {
    local name=$1
    shift
    nsenter -t "${HOLDER[$name]}" --net --uts --mount "$@"
}

# machine_exec <name> [nsenter options] -- <command...>: the same, for a
# process started with &, so that $! is the command's own pid.
machine_exec() {
    local name=$1
    shift
    exec nsenter -t "${HOLDER[$name]}" --net --uts --mount "$@"
}

# The file server's machine: a bridge with the office's only addresses. Its
# hardware address is fixed: a bridge otherwise takes the lowest of its
# ports', and the computers cabled earlier would lose the server.
server_machine_start() {
    holder_start SRV FILESRV
    mkdir -p "$W/SRV/run"
    in_machine SRV -- sh -c "
        ip link add br0 address 02:00:0a:4d:00:01 type bridge &&
        ip addr add $SERVER_IP/24 dev br0 &&
        ip link set br0 up" || office_fail "bridge"
}

# A computer: its machine, cabled to the server's bridge over a veth pair.
computer_start() {  # <name> <index>
    local name=$1 index=$2 peer
    peer=$(echo "$name" | tr 'A-Z' 'a-z')
    holder_start "$name" "$name"
    mkdir -p "$W/$name/share"
    if [[ -n ${HOLDER[SRV]:-} ]]; then
        IP[$name]=$OFFICE_NET.$((10 + index))
        ip link add eth0 netns "${HOLDER[$name]}" type veth peer name "$peer" netns "${HOLDER[SRV]}" ||
            office_fail "veth for $name"
        in_machine SRV -- ip link set "$peer" master br0 up || office_fail "bridge port $peer"
        in_machine "$name" -- sh -c "ip addr add ${IP[$name]}/24 dev eth0 && ip link set eth0 up" ||
            office_fail "address of $name"
    fi
}

# pas.txt of a computer: the shared folder as that computer reaches it.
computer_set_share() {  # <name> <folder>
    SHARE[$1]=$2
    printf '%s/\r\n' "$2" >"$W/$1/pas.txt"
}

# --- the program under test ---

copy_start() {  # <name>
    local name=$1
    machine_exec "$name" --wd="$W/$name" -- env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        HOME="$W/$name/home" XDG_RUNTIME_DIR=/run/user/0 LANG=C.UTF-8 TZ="${TZ:-UTC}" \
        "$W/bin/kesrow" --console </dev/null >>"$W/$name/out" 2>>"$W/$name/err" &
    COPY[$name]=$!
    remember $!
}

copy_running() { kill -0 "${COPY[$1]}" 2>/dev/null; }

# copy_stop <name> <signal>: signals the copy and returns its exit status.
copy_stop() {
    local pid=${COPY[$1]} rc=0
    kill "-$2" "$pid"
    wait "$pid" 2>/dev/null || rc=$?
    unset "COPY[$1]"
    return $rc
}

# Lines printed on standard output so far.
out_lines() { wc -l <"$W/$1/out"; }

# out_since <name> <line count>: what the copy printed after that line.
out_since() { tail -n +"$(($2 + 1))" "$W/$1/out"; }

# Waits until the last icon line of the copy is the given one.
icon_is() { [[ $(tail -n 1 "$W/$1/out" 2>/dev/null) == "$2" ]]; }
held_icon() { echo "icon 2 ダイアルアップに$1さんが接続中"; }
free_icon() { echo "icon 1 $FREE_TOOLTIP"; }

# --- dial-up lines ---

dial() {  # <name>: a PPP link with carrier in the computer's namespace
    local name=$1
    rm -f "$W/$name/line.fifo"
    : >"$W/$name/line.out"
    mkfifo "$W/$name/line.fifo"
    nsenter -t "${HOLDER[$name]}" --net -- "$W/bin/dialup_line" ppp0 \
        <>"$W/$name/line.fifo" >"$W/$name/line.out" 2>&1 &
    LINE[$name]=$!
    remember $!
    wait_until 10 grep -qx up "$W/$name/line.out" || office_fail "dial-up line of $name"
}

hang_up() {  # <name>
    local pid=${LINE[$1]}
    kill -TERM "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    unset "LINE[$1]"
}

# --- files in the shared folder, byte by byte ---

CHECK=$(dirname "${BASH_SOURCE[0]}")/office_check.py

status_is() {  # <value>: the status file holds exactly value CR LF
    python3 "$CHECK" status "$(office_status_file)" "$1"
}

# The log after a byte offset as tokens, one per line: C:<host>, D:<host>,
# V:<host>; fails on any line that is not one of the three shapes exactly.
log_tokens() {  # [byte offset]
    python3 "$CHECK" log "$(office_log_file)" "${1:-0}" | tr '\n' ' '
}

log_size() { stat -c %s "$(office_log_file)" 2>/dev/null || echo 0; }

# --- ending it all, by pid ---

# The pids below one process, deepest first.
descendants() {
    local child
    for child in $(cat /proc/"$1"/task/*/children 2>/dev/null); do
        descendants "$child"
        echo "$child"
    done
}

kill_tree() {  # <pid>: ends a daemon and every process it forked
    local pids pid
    pids="$(descendants "$1") $1"
    for pid in $pids; do kill -TERM "$pid" 2>/dev/null; done
    for pid in $pids; do
        for _ in $(seq 40); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
        kill -KILL "$pid" 2>/dev/null
    done
    wait "$1" 2>/dev/null || true
}

office_cleanup() {
    local rc=$? name pid
    trap - EXIT
    kill -TERM "$WATCHDOG" 2>/dev/null
    for name in "${!COPY[@]}"; do kill -TERM "${COPY[$name]}" 2>/dev/null; done
    for name in "${!LINE[@]}"; do kill -TERM "${LINE[$name]}" 2>/dev/null; done
    for name in "${!MOUNTER[@]}"; do
        in_machine "$name" -- fusermount3 -u -z "${MOUNT_POINT[$name]}" 2>/dev/null
        kill -TERM "${MOUNTER[$name]}" 2>/dev/null
    done
    for pid in "${BACKGROUND[@]}"; do kill_tree "$pid"; done
    [[ -n $SERVER_DAEMON ]] && kill_tree "$SERVER_DAEMON"
    for name in "${!HOLDER[@]}"; do
        kill -KILL "${HOLDER[$name]}" 2>/dev/null
        wait "${HOLDER[$name]}" 2>/dev/null
    done
    if ((rc == 0)) && [[ -z ${OFFICE_KEEP:-} ]]; then rm -rf "$W"; else echo "work folder kept: $W" >&2; fi
    exit $rc
}

# --- the file server and its share ---

# sshd in the server's machine (its own /run), serving $W/share over SFTP.
# SFTP_LOG set: each SFTP session logs its file operations to SFTP_LOG.<pid>.
sshd_prepare() {
    local keys=$W/keys
    mkdir -p "$keys"
    ssh-keygen -q -t ed25519 -N '' -f "$keys/host" || office_fail "host key"
    ssh-keygen -q -t ed25519 -N '' -f "$keys/client" || office_fail "client key"
    cp "$keys/client.pub" "$keys/authorized_keys"
    local sftp=/usr/lib/openssh/sftp-server
    if [[ -n ${SFTP_LOG:-} ]]; then
        printf '#!/bin/sh\nexec %s -e -l INFO 2>>"%s.$$"\n' "$sftp" "$SFTP_LOG" >"$keys/sftp"
        chmod +x "$keys/sftp"
        sftp=$keys/sftp
    fi
    cat >"$keys/sshd_config" <<CONF
ListenAddress $SERVER_IP
HostKey $keys/host
AuthorizedKeysFile $keys/authorized_keys
PidFile none
PermitRootLogin prohibit-password
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
StrictModes no
Subsystem sftp $sftp
CONF
}

server_daemon_start_sshd() {
    in_machine SRV -- sh -c 'mkdir -p -m 755 /run/sshd' || office_fail "/run/sshd"
    machine_exec SRV -- /usr/sbin/sshd -D -e -f "$W/keys/sshd_config" 2>>"$W/SRV/sshd.log" &
    server_daemon_listens 22 sshd
}

# server_daemon_listens <port> <name>: the daemon just started with & is up.
server_daemon_listens() {
    SERVER_DAEMON=$!
    echo $! >>"$W/pids"
    wait_until 10 in_machine SRV -- sh -c "ss -Htln | grep -q '$SERVER_IP:$1 '" || office_fail "$2 does not listen"
}

# The file server stops: the daemon and every session it forked end.
server_daemon_stop() {
    kill_tree "$SERVER_DAEMON"
    SERVER_DAEMON=""
}

# can_connect <name> <port>: the computer reaches the server's port.
can_connect() {
    in_machine "$1" -- timeout 1 bash -c "exec 3<>/dev/tcp/$SERVER_IP/$2" 2>/dev/null
}

# share_ready <name> <folder>: mounted, and the server answers through it.
share_ready() {
    in_machine "$1" -- sh -c 'mountpoint -q "$1" && ls "$2" >/dev/null' _ "${MOUNT_POINT[$1]}" "$2" 2>/dev/null
}

# Each computer mounts the share itself, over its own cable. No caching:
# every copy must see the others' writes on its next tick.
mount_sshfs() {  # <name>
    local name=$1 point=$W/$1/share
    wait_until 10 can_connect "$name" 22 || office_fail "$name cannot reach the server"
    machine_exec "$name" -- env HOME="$W/$name/home" sshfs -f \
        -o IdentityFile="$W/keys/client",StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null \
        -o BatchMode=yes,LogLevel=ERROR,ConnectTimeout=2 \
        -o reconnect,ServerAliveInterval=1,ServerAliveCountMax=2 \
        -o dir_cache=no,attr_timeout=0,entry_timeout=0,negative_timeout=0 \
        "root@$SERVER_IP:$W/share" "$point" 2>>"$W/$name/sshfs.log" &
    share_mounted "$name" "$point" "$point" 10
}

# share_mounted <name> <mount point> <shared folder> <seconds>: the FUSE
# daemon just started with & serves the share; pas.txt names it.
share_mounted() {
    MOUNTER[$1]=$!
    MOUNT_POINT[$1]=$2
    remember $!
    wait_until "$4" share_ready "$1" "$3" || office_fail "no share on $1"
    computer_set_share "$1" "$3"
}

# Samba's smbd speaking only NT1, the one protocol with which smbnetfs
# appends; guests are root on the share.
smbd_prepare() {
    local dir=$W/samba
    mkdir -p "$dir"/{lock,state,cache,private,pid,log,ncalrpc,bind-dns}
    cat >"$dir/smb.conf" <<CONF
[global]
  interfaces = $SERVER_IP/24
  bind interfaces only = yes
  smb ports = 445
  server min protocol = NT1
  server max protocol = NT1
  map to guest = Bad User
  guest account = root
  lock directory = $dir/lock
  state directory = $dir/state
  cache directory = $dir/cache
  private dir = $dir/private
  pid directory = $dir/pid
  ncalrpc dir = $dir/ncalrpc
  binddns dir = $dir/bind-dns
  log file = $dir/log/%m.log
  disable netbios = yes
  load printers = no
  printing = bsd
  printcap name = /dev/null
  disable spoolss = yes
[line]
  path = $W/share
  read only = no
  guest ok = yes
  guest only = yes
  force user = root
CONF
}

server_daemon_start_smbd() {
    # smbd signals its whole process group when it stops: give it its own.
    machine_exec SRV -- /usr/sbin/smbd --foreground -s "$W/samba/smb.conf" \
        </dev/null >>"$W/SRV/smbd.log" 2>&1 &
    server_daemon_listens 445 smbd
}

# smbnetfs shows the network as folders: <mount>/<server>/<share>. It reads
# its configuration only when that is private to the user (mode 600).
mount_smbnetfs() {  # <name>
    local name=$1 point=$W/$1/share conf=$W/$1/home/.smb
    mkdir -p "$conf"
    cat >"$conf/smb.conf" <<CONF
[global]
  client min protocol = NT1
  client max protocol = NT1
  workgroup = OFFICE
CONF
    cat >"$conf/smbnetfs.conf" <<CONF
include "smb.conf"
auth "guest" ""
smb_query_browsers "false"
show_hidden_hosts "true"
host $SERVER_IP visible=true
CONF
    chmod 600 "$conf/smb.conf" "$conf/smbnetfs.conf"
    chmod 700 "$conf"
    wait_until 10 can_connect "$name" 445 || office_fail "$name cannot reach the server"
    machine_exec "$name" -- env HOME="$W/$name/home" smbnetfs -f "$point" 2>>"$W/$name/smbnetfs.log" &
    share_mounted "$name" "$point" "$point/$SERVER_IP/line" 15
}
