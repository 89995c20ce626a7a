#!/usr/bin/env bash
# CPU share and peak memory of the tray program sitting idle on a demo
# folder (status "OK", no dial-up), on a virtual desktop with a tray host.
# Prints figures; asserts nothing about speed.
#
#   bench/idle_tray.sh [kesrow binary] [seconds]     (defaults: build/app/kesrow, 60)
#
# Needs Xvfb, openbox and trayer; without them the program runs with Qt's
# offscreen platform (no tray host), which is said in the output.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
binary=$(realpath "${1:-$here/../build/app/kesrow}")
seconds=${2:-60}
[ -x "$binary" ] || { echo "no program at $binary (build it first)" >&2; exit 1; }

source "$here/demo_office.sh"
demo_office idle-tray

# A status-notifier service on the session bus would take the icon away
# from the X tray.
unset DBUS_SESSION_BUS_ADDRESS

desktop="Xvfb + openbox + trayer"
if command -v Xvfb >/dev/null && command -v openbox >/dev/null && command -v trayer >/dev/null; then
    exec {displayfd}<> <(:)
    Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    read -r -t 10 number <&"$displayfd" || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
    exec {displayfd}<&-
    export DISPLAY=:$number
    openbox >"$work/openbox.log" 2>&1 &
    openbox_pid=$!
    trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 >"$work/trayer.log" 2>&1 &
    trayer_pid=$!
    sleep 1
    pids=("$trayer_pid" "$openbox_pid" "$xvfb")
else
    desktop="Qt offscreen (no tray host)"
    export QT_QPA_PLATFORM=offscreen
fi

cd "$work/office"
"$binary" >"$work/kesrow.out" 2>"$work/kesrow.err" &
kesrow=$!
pids=("$kesrow" "${pids[@]}")  # the program first: it takes down its icon

# Let start-up and the first ticks pass before measuring.
sleep 5
kill -0 "$kesrow" 2>/dev/null || { echo "the program ended at start-up:" >&2; cat "$work/kesrow.err" >&2; exit 1; }
tray_icon="not checked"
if [ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null; then
    tray_icon="not found"
    for window in $(xdotool search --pid "$kesrow" 2>/dev/null); do
        if xprop -id "$window" _XEMBED_INFO 2>/dev/null | grep -q '='; then tray_icon="shown"; fi
    done
fi

# utime + stime, fields 14 and 15 after the parenthesised command name.
cpu_ticks() { sed 's/.*) //' "/proc/$kesrow/stat" | awk '{print $12 + $13}'; }
# The same in nanoseconds, summed over the threads alive at the time.
cpu_ns() { cat /proc/"$kesrow"/task/*/schedstat | awk '{n += $1} END {print n}'; }
hz=$(getconf CLK_TCK)
before=$(cpu_ticks)
before_ns=$(cpu_ns)
start=$(date +%s.%N)
sleep "$seconds"
after=$(cpu_ticks)
after_ns=$(cpu_ns)
end=$(date +%s.%N)
kill -0 "$kesrow" 2>/dev/null || { echo "the program ended while idle:" >&2; cat "$work/kesrow.err" >&2; exit 1; }

hwm_kb=$(awk '/^VmHWM:/ {print $2}' "/proc/$kesrow/status")
rss_kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$kesrow/status")
awk -v b="$before" -v a="$after" -v hz="$hz" -v s="$start" -v e="$end" \
    -v bn="$before_ns" -v an="$after_ns" -v hwm="$hwm_kb" -v rss="$rss_kb" -v desk="$desktop" -v icon="$tray_icon" 'BEGIN {
    wall = e - s
    printf "desktop: %s; tray icon %s\n", desk, icon
    printf "idle CPU: %.3f %% of one core (utime+stime: %d ticks of 1/%d s in %.1f s)\n", 100 * (a - b) / hz / wall, a - b, hz, wall
    printf "idle CPU: %.3f %% of one core (scheduler run time of its threads: %.1f ms)\n", 100 * (an - bn) / 1e9 / wall, (an - bn) / 1e6
    printf "max RSS (VmHWM): %.1f MB; RSS now %.1f MB\n", hwm / 1024, rss / 1024
}'
