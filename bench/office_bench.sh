#!/bin/bash
# The office in figures: three computers with console copies, the shared
# folder on local disk and on an sshfs share.
#   - time from a computer's dial-up to its claim in the status file, and to
#     every other copy showing the prohibition sign (median, p90 over RUNS);
#   - status file reads per copy per second that the file server sees
#     (its SFTP sessions' own log, over IDLE_S seconds of an idle office).
# Needs root. Prints figures only.
#
#   bench/office_bench.sh <kesrow> <dialup_line> [runs]
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
RUNS=${3:-20}
IDLE_S=${IDLE_S:-10}
source "$HERE/../tests/office/office_lib.sh"
PCS=(PC01 PC02 PC03)

start_office() {  # local|sshfs
    local i n
    if [[ $1 == sshfs ]]; then
        server_machine_start
        SFTP_LOG=$W/sftp sshd_prepare
        server_daemon_start_sshd
    fi
    for i in "${!PCS[@]}"; do
        n=${PCS[$i]}
        computer_start "$n" $((i + 1))
        if [[ $1 == sshfs ]]; then mount_sshfs "$n"; else computer_set_share "$n" "$W/share"; fi
    done
    printf 'OK\r\n' >"$(office_status_file)"
    for n in "${PCS[@]}"; do : >"$W/$n/out"; : >"$W/$n/err"; copy_start "$n"; done
    for n in "${PCS[@]}"; do wait_until 10 icon_is "$n" "$(free_icon)" || office_fail "$n did not start"; done
}

all_free() {
    local n
    status_is OK || return 1
    for n in "${PCS[@]}"; do icon_is "$n" "$(free_icon)" || return 1; done
}

# median and 90th percentile of the numbers on standard input
stats() { sort -n | awk '{v[NR]=$1} END {printf "median %.1f ms, p90 %.1f ms (n=%d)", v[int((NR+1)/2)], v[int(NR*0.9+0.5)], NR}'; }

measure_dials() {  # <label>
    local i host others=() n results=$W/dials.txt
    : >"$results"
    for i in $(seq "$RUNS"); do
        host=${PCS[$((i % 3))]}
        others=()
        for n in "${PCS[@]}"; do [[ $n == "$host" ]] || others+=("$W/$n/out"); done
        python3 "$HERE/office_watch.py" "${HOLDER[$host]}" "$W/bin/dialup_line" "$host" \
            "$(office_status_file)" "${others[@]}" >>"$results" || office_fail "dial $i"
        wait_until 10 all_free || office_fail "no release after dial $i"
        sleep 0.$((RANDOM % 10))  # a fresh phase against the copies' timers
    done
    echo "$1: dial-up to claim in the status file: $(cut -d' ' -f1 "$results" | stats)"
    echo "$1: dial-up to both other copies showing it: $(cut -d' ' -f2 "$results" | stats)"
}

measure_reads() {
    local f before=() after=() i=0 total=0 sessions=0 count
    for f in "$W"/sftp.*; do before+=("$(grep -c 'kesrow.txt" flags READ' "$f")"); done
    sleep "$IDLE_S"
    for f in "$W"/sftp.*; do
        count=$(grep -c 'kesrow.txt" flags READ' "$f")
        echo "sshfs: session $(basename "$f"): $(echo "scale=1; ($count - ${before[$i]}) / $IDLE_S" | bc) status reads/s"
        total=$((total + count - before[i])); sessions=$((sessions + 1)); i=$((i + 1))
    done
    echo "sshfs: status reads per copy per second at the server: $(echo "scale=1; $total / $sessions / $IDLE_S" | bc)"
}

for variant in local sshfs; do
    (
        office_init "$1" "$2" "${TMPDIR_OFFICE:-$PWD}"
        start_office "$variant"
        measure_dials "$variant"
        [[ $variant == sshfs ]] && measure_reads
        exit 0
    ) || exit 1
done
