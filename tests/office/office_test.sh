#!/bin/bash
# A small office on one machine: three computers (network, UTS and mount
# namespaces of their own, private /tmp and /run), a file server sharing one
# folder over SSHFS, real dial-up interfaces and one console copy per
# computer, through one day: a violation, the server freezing while the
# holder is switched off, its line taken over, a computer whose clock is
# ahead. Every byte of the status file and the log is checked.
#   office_test.sh <kesrow> <dialup_line>      (needs root)
source "$(dirname "$0")/../tools/process_lib.sh"
need_root
work_folder office
PCS=(PC01 PC02 PC03)
mkdir -p "$T/bin" && cp "$1" "$2" "$T/bin/"
KESROW=$T/bin/$(basename "$1") DIALUP_LINE=$T/bin/$(basename "$2")
declare -A HOLDER=() COPY=()
dump() {  # the server and the copies going on first: a paused one would hold every copy at exit
    [[ -z ${HOLDER[SRV]:-} ]] || kill -CONT $(pgrep --ns "${HOLDER[SRV]}" --nslist net sshd) 2>/dev/null
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
spawn start_on SRV /usr/sbin/sshd -D -e -f "$T/sshd_config" 2>>"$T/sshd.log"
wait_until 10 on SRV sh -c 'ss -Htln | grep -q 10.77.0.1:22' || fail "sshd does not listen"
for i in 1 2 3; do
    n=PC0$i
    machine $n && demo_share "$T/$n" OK "$T/$n/share/"
    ip link add eth0 netns "${HOLDER[$n]}" type veth peer name pc$i netns "${HOLDER[SRV]}" || fail "cable $n"
    on SRV ip link set pc$i master br0 up && on $n ip addr add 10.77.0.1$i/24 dev eth0 && on $n ip link set eth0 up
    spawn start_on $n env HOME="$T/$n" sshfs -f -o IdentityFile="$T/key",StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null \
        -o BatchMode=yes,LogLevel=ERROR,ConnectTimeout=2,reconnect \
        -o dir_cache=no,attr_timeout=0,entry_timeout=0,negative_timeout=0 \
        "root@10.77.0.1:$SHARE" "$T/$n/share" 2>>"$T/$n/sshfs.log"
    wait_until 10 on $n test -e "$T/$n/share/kesrow.txt" || fail "no share on $n"
done

copy_start() {  # <name> [more environment...]
    spawn start_on "$1" --wd="$T/$1" -- env -i PATH=/usr/bin:/bin HOME="$T/$1" XDG_RUNTIME_DIR=/run/user/0 LANG=C.UTF-8 TZ=UTC \
        KESROW_PRESENCE_SECONDS=1,6 "${@:2}" "$KESROW" --console </dev/null >>"$T/$1/out" 2>>"$T/$1/err"
    COPY[$1]=${PIDS[-1]}
}
held_icon() { echo "icon 2 ダイアルアップに$1さんが接続中"; }
gone_note() { echo "（$(date -u -d @"$(stat -c %Y "$SHARE/kesrow.${1,,}.presence")" +%-H:%M) から応答がありません）"; }
FREE_ICON="icon 1 ダイアルアップ接続している人はいません" SILENT_NOTE="（共有フォルダが応答しません）"
UNKNOWN_ICON="icon 3 共有フォルダに接続できません（回線の状態は不明です）"
icons() { tail -n +$((${2:-0} + 1)) "$T/$1/out" | grep '^icon '; }  # <name> [lines to skip]: its icon lines
icons_are() { for n in "${PCS[@]}"; do [[ $(icons $n | tail -n 1) == "$1" ]] || return 1; done; }
seen_by_all() { wait_until 10 status_is "$1" && wait_until 30 icons_are "$2" || fail "not every copy shows $2"; }
v_seconds() {  # of the violation lines since a byte offset, in the day
    tail -c +$(($1 + 1)) "$SHARE/kesrow.log" | utf8 | grep -o '[0-9:]* にありました' |
        while IFS=: read -r h m s; do echo $((10#$h * 3600 + 10#$m * 60 + 10#${s% *})); done
}
warned() {  # <name>: its standard error is one warning with two beeps for each violation line it wrote
    local count blocks=""
    for ((count = $(grep -o "V:$1 " <<<"$(log_tokens)" | wc -l); count > 0; count--)); do blocks+=$BOX_WARNING; done
    [[ $(cat "$T/$1/err") == "$blocks" ]]
}
dial_warned() {  # <name>: dials on a held line; once warned, hangs up
    local size
    size=$(stat -c %s "$T/$1/err") && dial $1 start_on $1
    wait_until 10 eval '(($(stat -c %s "$T/'$1'/err") > size))' || fail "$1 not warned"
    hang_up $1 && wait_until 10 warned $1 || fail "$1's warnings do not match its violation lines"
}

echo "== start-up: unknown until the share has answered, then free"
for n in "${PCS[@]}"; do copy_start $n; done
started() { for n in "${PCS[@]}"; do [[ $(icons $n) == "$UNKNOWN_ICON"$'\n'"$FREE_ICON"$'\n'"$FREE_ICON" ]] || return 1; done; }
wait_until 10 started || fail "the copies did not start"

echo "== a computer dials while another holds the line: warned, at most once per 5 s"
dial PC01 start_on PC01
seen_by_all PC01 "$(held_icon PC01)"
LOG=$(log_size) && dial PC02 start_on PC02
wait_until 20 eval '(($(v_seconds $LOG | wc -l) >= 2))' || fail "PC02 wrote no two violation lines"
hang_up PC02 && mapfile -t v < <(v_seconds $LOG)
((v[1] - v[0] >= 4)) || fail "violation lines ${v[*]} s: the warning was not held"

echo "== the file server freezes, the holder is switched off meanwhile: its release abandoned, then taken over"
server=$(pgrep --ns "${HOLDER[SRV]}" --nslist net -d ' ' sshd)
kill -STOP $server
wait_until 20 icons_are "$(held_icon PC01)$SILENT_NOTE" || fail "the prohibition sign did not say that the share is silent"
kill -TERM "${COPY[PC01]}"
# Its last file call waits for the server: ended, it stays a zombie until the thaw.
wait_until 10 eval '[[ ! $(ps -o stat= -p ${COPY[PC01]}) =~ ^[^Z] ]]' || fail "PC01 did not end with the server frozen"
mark=$(wc -l <"$T/PC03/out") && kill -CONT $server
ended_with "${COPY[PC01]}" 0 || fail "PC01's copy did not end with 0"
PCS=(PC02 PC03) && wait_until 30 icons_are "$(held_icon PC01)$(gone_note PC01)" || fail "PC01 not shown as gone"
LOG=$(log_size) && dial PC02 start_on PC02
seen_by_all PC02 "$(held_icon PC02)"
[[ $(icons PC03 $mark) == ?("$(held_icon PC01)"$'\n')"$(held_icon PC01)$(gone_note PC01)"$'\n'"$(held_icon PC02)" ]] ||
    fail "PC03's icons after the thaw"
tail -c +$((LOG + 1)) "$SHARE/kesrow.log" >"$T/takeover.log"
when=$(utf8 "$T/takeover.log" | sed -En '1s/^PC01が、 ([0-9/]{10}( [0-9:]{7,8})?) 切断.*/\1/p')
cmp -s "$T/takeover.log" <(cp932 "PC01が、 $when 切断（PC02が引き継ぎ）"$'\r\n'"PC02が、 $when 接続"$'\r\n') || fail "takeover lines"
# The report: PC01's connection ends at the takeover.
report=$(on PC02 env -C "$T/PC02" TZ=UTC "$KESROW" --report --csv)
[[ $report =~ $'\r\n'PC01,1,[1-9][0-9]*,[^,]*,0,0,0$'\r\n'PC02,1,[0-9]+,[^,]*,[1-9][0-9]*,1,0$'\r\n' ]] || fail "report: $report"

echo "== a computer whose clock is 2 hours ahead judges no running holder gone"
kill -TERM "${COPY[PC03]}" && wait "${COPY[PC03]}" || fail "PC03 ended with $?"
mark=$(wc -l <"$T/PC02/out") && : >"$T/PC03/out"
# Only the wall clock: file times stay the server's, and timed waits work.
copy_start PC03 LD_PRELOAD="$(echo /usr/lib/*/faketime/libfaketime.so.1)" FAKETIME=+2h NO_FAKE_STAT=1 DONT_FAKE_MONOTONIC=1
seen_by_all PC02 "$(held_icon PC02)"
LOG=$(log_size) && dial_warned PC03
(( ($(v_seconds $LOG | tail -n 1) - $(date -u +%s) % 86400 - 7200 + 2 * 86400 + 60) % 86400 <= 120 )) || fail "PC03's clock not ahead"
sleep 12  # three gone limits in all
[[ $(icons PC03) == "$UNKNOWN_ICON"$'\n'"$FREE_ICON"$'\n'"$(held_icon PC02)" && -z $(icons PC02 $mark) ]] || fail "a holder judged gone"

echo "== every copy ends with 0, its boxes the warnings it logged"
for n in "${PCS[@]}"; do kill -TERM "${COPY[$n]}" && wait "${COPY[$n]}" || fail "$n ended with $?"; done
[[ $(log_tokens) =~ ^C:PC01\ (V:PC02\ )+T:PC01/PC02\ C:PC02\ (V:PC03\ )+D:PC02\ $ ]] || fail "the log: $(log_tokens)"
PCS+=(PC01) && for n in "${PCS[@]}"; do warned $n || fail "$n's boxes: $(cat -A "$T/$n/err")"; done
echo "PASS office"
