#!/usr/bin/env bash
# CPU per tick of an idle console copy (status "OK", no dial-up) beside a
# floor that only reads the status file every 100 ms, both at once in one
# network namespace, with the ratio, and the system calls of the copy's
# ticks over 10 s. Prints figures; asserts nothing.
#
#   bench/idle_cost.sh [kesrow binary] [status_floor binary] [seconds]
#       (defaults: build/app/kesrow, build/bench/status_floor, 60)
#
# As root it runs in a network namespace of its own holding loopback and
# four more links, as an office computer might; otherwise in the current one.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
binary=$(realpath "${1:-$here/../build/app/kesrow}")
floor=$(realpath "${2:-$here/../build/bench/status_floor}")
seconds=${3:-60}
[ -x "$binary" ] && [ -x "$floor" ] || { echo "build the program and status_floor first" >&2; exit 1; }

if [ "$(id -u)" = 0 ] && [ -z "${KESROW_IDLE_NETNS:-}" ]; then
    exec env KESROW_IDLE_NETNS=1 unshare -n "$0" "$binary" "$floor" "$seconds"
fi
namespace="current network namespace"
if [ -n "${KESROW_IDLE_NETNS:-}" ]; then
    ip link set lo up
    for i in 0 1 2 3; do ip tuntap add dev "eth$i" mode tap && ip link set "eth$i" up; done
    namespace="own network namespace ($(ip -o link | wc -l) links)"
fi

source "$here/demo_office.sh"
demo_office idle-cost

(cd "$work/office" && exec "$binary" --console </dev/null >"$work/kesrow.out" 2>"$work/kesrow.err") &
pids+=($!)
kesrow=$!
"$floor" "$work/share/kesrow.txt" &
pids+=($!)
paced=$!

sleep 3
for pid in "$kesrow" "$paced"; do
    kill -0 "$pid" 2>/dev/null || { echo "a process ended early:" >&2; cat "$work/kesrow.err" >&2; exit 1; }
done

# Scheduler run time in nanoseconds, summed over the process's threads.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{n += $1} END {print n}'; }
k0=$(cpu_ns "$kesrow"); f0=$(cpu_ns "$paced"); t0=$(date +%s.%N)
sleep "$seconds"
k1=$(cpu_ns "$kesrow"); f1=$(cpu_ns "$paced"); t1=$(date +%s.%N)

awk -v k="$((k1 - k0))" -v f="$((f1 - f0))" -v s="$t0" -v e="$t1" -v ns="$namespace" \
    -v icons="$(wc -l < "$work/kesrow.out")" 'BEGIN {
    ticks = (e - s) * 10
    printf "%s, %.1f s, %d ticks each\n", ns, e - s, ticks
    printf "idle copy:   %6.1f us CPU per tick (%d icon lines printed)\n", k / 1e3 / ticks, icons
    printf "paced floor: %6.1f us CPU per tick\n", f / 1e3 / ticks
    printf "ratio to the floor:                    %5.2f (target <= 1.3)\n", k / f
}'

# The copy's system calls over 10 s, every thread (where strace is installed).
if command -v strace >/dev/null; then
    echo "system calls of the idle copy in 10 s:"
    timeout -s INT 10 strace -c $(printf -- '-p %s ' $(ls /proc/"$kesrow"/task)) 2>&1 | sed -n '/^% time/,$p' || true
fi
