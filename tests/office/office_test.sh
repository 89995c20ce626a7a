#!/bin/bash
# A small office on one machine: three computers (network, UTS and mount
# namespaces of their own, private /tmp and /run), a file server sharing one
# folder over SSHFS, real dial-up interfaces and one console copy per
# computer. Every byte of the status file and the log is checked.
#   office_test.sh <kesrow> <dialup_line>      (needs root)
source "$(dirname "$0")/../tools/process_lib.sh"
need_root
work_folder office
SHARE=$T/share PCS=(PC01 PC02 PC03)
mkdir -p "$T/bin" "$SHARE" && cp "$1" "$2" "$T/bin/" && printf 'OK\r\n' >"$SHARE/kesrow.txt"
KESROW=$T/bin/$(basename "$1") DIALUP_LINE=$T/bin/$(basename "$2")
declare -A HOLDER=() COPY=() MOUNT=()
dump() {  # the server and the copies going on first: a paused one would hold every copy at exit
    [[ -z ${HOLDER[SRV]:-} ]] || kill -CONT $(pgrep --ns "${HOLDER[SRV]}" --nslist net sshd) "${COPY[@]}" 2>/dev/null
    for n in "${!COPY[@]}"; do echo "--- $n"; cat "$T/$n/out" "$T/$n/err"; done; log_tokens
}

# A machine whose namespaces a sleeper keeps; everything started in it ends
# when the test does, even when the test is killed.
machine() {  # <name>
    mkdir -p "$T/$1/share"
    setpriv --pdeathsig KILL unshare --net --uts --mount --propagation private -- bash -c '
        cd "$2" && hostname "$1" && ip link set lo up || exit 1
        for d in /tmp /run /var/tmp /dev/shm ~root/.cache; do mkdir -p "$d" && mount -t tmpfs -o mode=1777 tmpfs "$d"; done
        mkdir -p "$2" && mkdir -p -m 700 /run/user/0 && mount --no-canonicalize --bind . "$2"  # the work folder, even below those
        : >"$1.ready" && exec sleep infinity' machine "$1" "$T" &
    HOLDER[$1]=$! PIDS+=($!)
    wait_until 10 test -e "$T/$1.ready" || fail "machine $1"
}
on() { setpriv --pdeathsig KILL nsenter -t "${HOLDER[$1]}" --net --uts --mount "${@:2}"; }
start_on() { exec setpriv --pdeathsig KILL nsenter -t "${HOLDER[$1]}" --net --uts --mount "${@:2}"; }  # with &

# The file server: sshd on a bridge; each computer cabled to it mounts the share.
# The bridge's address is fixed: else it takes its lowest port's, and the
# computers cabled earlier lose the server.
machine SRV
on SRV sh -c 'ip link add br0 address 02:00:0a:4d:00:01 type bridge && ip addr add 10.77.0.1/24 dev br0 && ip link set br0 up && mkdir /run/sshd'
ssh-keygen -q -t ed25519 -N '' -f "$T/key" && cp "$T/key.pub" "$T/authorized_keys"
printf '%s\n' "ListenAddress 10.77.0.1" "HostKey $T/key" "AuthorizedKeysFile $T/authorized_keys" "UsePAM no" \
    "PidFile none" "StrictModes no" "PasswordAuthentication no" "Subsystem sftp internal-sftp" >"$T/sshd_config"
start_server() {
    spawn start_on SRV /usr/sbin/sshd -D -e -f "$T/sshd_config" 2>>"$T/sshd.log"
    SERVER=${PIDS[-1]}
    wait_until 10 on SRV sh -c 'ss -Htln | grep -q 10.77.0.1:22' || fail "sshd does not listen"
}
start_server
for i in 1 2 3; do
    n=PC0$i
    machine $n
    ip link add eth0 netns "${HOLDER[$n]}" type veth peer name pc$i netns "${HOLDER[SRV]}" || fail "cable $n"
    on SRV ip link set pc$i master br0 up && on $n ip addr add 10.77.0.1$i/24 dev eth0 && on $n ip link set eth0 up
    spawn start_on $n env HOME="$T/$n" sshfs -f -o IdentityFile="$T/key",StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null \
        -o BatchMode=yes,LogLevel=ERROR,ConnectTimeout=2,reconnect \
        -o dir_cache=no,attr_timeout=0,entry_timeout=0,negative_timeout=0 \
        "root@10.77.0.1:$SHARE" "$T/$n/share" 2>>"$T/$n/sshfs.log"
    MOUNT[$n]=${PIDS[-1]} && wait_until 10 on $n test -e "$T/$n/share/kesrow.txt" || fail "no share on $n"
    printf '%s/\r\n' "$T/$n/share" >"$T/$n/pas.txt"
done

copy_start() {  # <name> [more environment...]
    spawn start_on "$1" --wd="$T/$1" -- env -i PATH=/usr/bin:/bin HOME="$T/$1" XDG_RUNTIME_DIR=/run/user/0 LANG=C.UTF-8 TZ=UTC \
        KESROW_PRESENCE_SECONDS=1,6 "${@:2}" "$KESROW" --console </dev/null >>"$T/$1/out" 2>>"$T/$1/err"
    COPY[$1]=${PIDS[-1]}
}
held_icon() { echo "icon 2 ダイアルアップに$1さんが接続中"; }
gone_note() { echo "（$(date -u -d @"$(stat -c %Y "$SHARE/kesrow.${1,,}.presence")" +%-H:%M) から応答がありません）"; }
shown_gone() { wait_until 30 eval "icons_are \"\$(held_icon $1)\$(gone_note $1)\"" || fail "$1 not shown as gone"; }
FREE_ICON="icon 1 ダイアルアップ接続している人はいません"
UNKNOWN_ICON="icon 3 共有フォルダに接続できません（回線の状態は不明です）"
declare -A OUT=() ERR=()
mark() { for n in "${PCS[@]}"; do OUT[$n]=$(wc -l <"$T/$n/out") ERR[$n]=$(stat -c %s "$T/$n/err"); done; LOG=$(log_size); }
err_since() { tail -c +$((ERR[$1] + 1)) "$T/$1/err"; }
tokens() { log_tokens "$LOG"; }
icons() { tail -n +$((${2:-0} + 1)) "$T/$1/out" | grep '^icon '; }  # <name> [lines to skip]: its icon lines
icons_are() { for n in "${PCS[@]}"; do [[ $(icons $n | tail -n 1) == "$1" ]] || return 1; done; }
expect() {  # <regex of the log since the mark> <icon lines each copy printed since the mark...>
    [[ $(tokens) =~ ^$1$ ]] || fail "log since the mark: '$(tokens)', not '$1'"
    for n in "${PCS[@]}"; do [[ $(icons $n "${OUT[$n]}") == "$(printf '%s\n' "${@:2}")" ]] || fail "$n's icons"; done
}
quiet() { for n in "$@"; do [[ -z $(err_since $n) ]] || fail "$n showed a box: $(err_since $n)"; done; }
seen_by_all() { wait_until 10 status_is "$1" && wait_until 10 icons_are "$2" || fail "not every copy shows $1"; }
warned() {  # <name>: one warning with its two beeps for each violation line it wrote
    local count blocks=""
    for ((count = $(grep -o "V:$1" <<<"$(tokens)" | wc -l); count > 0; count--)); do blocks+=$BOX_WARNING; done
    [[ -n $blocks && $(err_since "$1") == "$blocks" ]]
}
dial_warned() {  # <name> [command...]: dials on a held line; once warned, runs the command and hangs up
    local name=$1 size
    size=$(stat -c %s "$T/$1/err") && dial $name start_on $name
    wait_until 10 eval '(($(stat -c %s "$T/$name/err") > size))' || fail "$name not warned"
    "${@:2}" && hang_up $name && wait_until 10 warned $name || fail "$name's warnings do not match its violation lines"
}

echo "== start-up"
for n in "${PCS[@]}"; do : >"$T/$n/out" && : >"$T/$n/err" && copy_start $n; done
mark
started() { for n in "${PCS[@]}"; do (($(wc -l <"$T/$n/out") >= 3)) || return 1; done; }
wait_until 10 started || fail "the copies did not start"
for n in "${PCS[@]}"; do OUT[$n]=0; done
expect "" "$UNKNOWN_ICON" "$FREE_ICON" "$FREE_ICON"  # unknown until the share has answered

echo "== a computer dials while another holds the line: warned, at most once per 5 s"
mark
dial PC01 start_on PC01
seen_by_all PC01 "$(held_icon PC01)"
dial PC02 start_on PC02
v_seconds() {
    tail -c +$((LOG + 1)) "$SHARE/kesrow.log" | iconv -f CP932 -t UTF-8 | grep -o '[0-9:]* にありました' |
        while IFS=: read -r h m s; do echo $((10#$h * 3600 + 10#$m * 60 + 10#${s% *})); done
}
wait_until 20 eval '(($(v_seconds | wc -l) >= 2))' || fail "PC02 wrote no two violation lines"
hang_up PC02
mapfile -t v < <(v_seconds)
((v[1] - v[0] >= 4)) || fail "violation lines ${v[*]} s: the warning was not held"
wait_until 10 warned PC02 || fail "PC02's warnings do not match its violation lines"
hang_up PC01
seen_by_all OK "$FREE_ICON"
expect "C:PC01 (V:PC02 )+D:PC01 " "$(held_icon PC01)" "$FREE_ICON"
quiet PC01 PC03

echo "== the file server freezes: unknown, nothing lost or doubled"
# The server's processes stopped: every file call of the copies waits.
mark
server=$(pgrep --ns "${HOLDER[SRV]}" --nslist net -d ' ' sshd)
kill -STOP $server
dial PC01 start_on PC01
wait_until 20 icons_are "$UNKNOWN_ICON" || fail "no unknown picture while the share is frozen"
kill -CONT $server
seen_by_all PC01 "$(held_icon PC01)"
hang_up PC01
seen_by_all OK "$FREE_ICON"
[[ $(tokens) == "C:PC01 D:PC01 " ]] || fail "log since the mark: $(tokens)"
# The first reading afterwards is a change: "OK" when it came before the claim.
for n in "${PCS[@]}"; do
    [[ $(icons $n "${OUT[$n]}") =~ ^"$UNKNOWN_ICON"$'\n'("$FREE_ICON"$'\n')?"$(held_icon PC01)"$'\n'"$FREE_ICON"$ ]] ||
        fail "$n's icons"
done
quiet "${PCS[@]}"

echo "== a holder gone away: taken over by the next to dial"
connected=$(log_size)
dial PC01 start_on PC01
seen_by_all PC01 "$(held_icon PC01)"
kill -KILL "${COPY[PC01]}" && kill -TERM "${MOUNT[PC01]}"; wait "${MOUNT[PC01]}"; on SRV ip link del pc1  # and it leaves the office
PCS=(PC02 PC03)
mark
shown_gone PC01
dial PC02 start_on PC02
seen_by_all PC02 "$(held_icon PC02)"
expect "T:PC01/PC02 C:PC02 " "$(held_icon PC01)$(gone_note PC01)" "$(held_icon PC02)"
quiet "${PCS[@]}"
tail -c +$((LOG + 1)) "$SHARE/kesrow.log" >"$T/takeover.log"
when=$(iconv -f CP932 -t UTF-8 "$T/takeover.log" | sed -En '1s/^PC01が、 ([0-9/]{10}( [0-9:]{7,8})?) 切断.*/\1/p')
cmp -s "$T/takeover.log" <(cp932 "PC01が、 $when 切断（PC02が引き継ぎ）"$'\r\n'"PC02が、 $when 接続"$'\r\n') || fail "takeover lines"
# The report of PC01's connection alone: it ends at the takeover.
mkdir "$T/report" && tail -c +$((connected + 1)) "$SHARE/kesrow.log" >"$T/report/kesrow.log" && printf '%s/\r\n' "$T/report" >"$T/report/pas.txt"
report=$(cd "$T/report" && TZ=UTC "$KESROW" --report --csv)
[[ $report =~ $'\r\n'PC01,1,[1-9][0-9]*,[^,]*,0,0,0$'\r\n'PC02,1,[0-9]+,[^,]*,0,1,0$'\r\n' ]] || fail "report: $report"

echo "== a holder slow to answer, and one that keeps no presence: warned, never taken over"
mark
kill -STOP "${COPY[PC02]}" && sleep 2  # some refreshes missed, well within the gone limit
dial_warned PC03 kill -CONT "${COPY[PC02]}"
hang_up PC02
seen_by_all OK "$FREE_ICON"
printf 'PC09\r\n' >"$SHARE/kesrow.txt"
seen_by_all PC09 "$(held_icon PC09)"
dial_warned PC03
printf 'OK\r\n' >"$SHARE/kesrow.txt"
seen_by_all OK "$FREE_ICON"
expect "(V:PC03 )+D:PC02 (V:PC03 )+" "$FREE_ICON" "$(held_icon PC09)" "$FREE_ICON"
quiet PC02

echo "== a holder ended while the server is frozen: its release abandoned, then taken over"
dial PC03 start_on PC03
seen_by_all PC03 "$(held_icon PC03)"
mark
server=$(pgrep --ns "${HOLDER[SRV]}" --nslist net -d ' ' sshd)  # PC01's session has ended
kill -STOP $server && kill -TERM "${COPY[PC03]}"
# Its last file call waits for the server: ended, it stays a zombie until the thaw.
wait_until 10 eval '[[ ! $(ps -o stat= -p ${COPY[PC03]}) =~ ^[^Z] ]]' || fail "PC03 did not end with the server frozen"
kill -CONT $server
PCS=(PC02)
shown_gone PC03
dial PC02 start_on PC02
seen_by_all PC02 "$(held_icon PC02)"
[[ $(tokens) == "T:PC03/PC02 C:PC02 " ]] || fail "log since the mark: $(tokens)"
ended_with "${COPY[PC03]}" 0 && hang_up PC03 || fail "PC03's copy did not end with 0"

echo "== a computer whose clock is 2 hours ahead judges no running holder gone"
PCS=(PC02 PC03)
mark
# Only the wall clock: file times stay the server's, and timed waits work.
copy_start PC03 LD_PRELOAD="$(echo /usr/lib/*/faketime/libfaketime.so.1)" FAKETIME=+2h NO_FAKE_STAT=1 DONT_FAKE_MONOTONIC=1
seen_by_all PC02 "$(held_icon PC02)"
dial_warned PC03
(( ($(v_seconds | tail -n 1) - $(date -u +%s) % 86400 - 7200 + 2 * 86400 + 60) % 86400 <= 120 )) || fail "PC03's clock not ahead"
sleep 12  # three gone limits in all
[[ $(icons PC03 "${OUT[PC03]}") == "$UNKNOWN_ICON"$'\n'"$FREE_ICON"$'\n'"$(held_icon PC02)" && -z $(icons PC02 "${OUT[PC02]}") ]] ||
    fail "a holder judged gone"

echo "== every copy ends with 0"
for n in "${PCS[@]}"; do kill -TERM "${COPY[$n]}" && wait "${COPY[$n]}" || fail "$n ended with $?"; done
log_tokens >/dev/null || fail "a log line of unknown shape"
echo "PASS office"
