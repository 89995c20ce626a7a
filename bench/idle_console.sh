#!/usr/bin/env bash
# Resident memory of an idle headless copy (status "OK", no dial-up), the
# console copy of the build without Qt. Prints figures; asserts nothing.
#
#   bench/idle_console.sh [kesrow binary] [seconds]   (defaults: build-nox/app/kesrow, 10)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
binary=$(realpath "${1:-$here/../build-nox/app/kesrow}")
seconds=${2:-10}
source "$here/demo_office.sh"
demo_office idle-console
(cd "$work/office" && exec "$binary" --console </dev/null >"$work/out" 2>&1) &
pid=$!
pids=("$pid")
sleep "$seconds"
kill -0 "$pid" 2>/dev/null || { echo "the copy ended:" >&2; cat "$work/out" >&2; exit 1; }
echo "idle headless copy after ${seconds} s ($(ldd "$binary" | wc -l) shared objects):"
grep -E '^(VmRSS|VmHWM|RssAnon|RssFile)' "/proc/$pid/status"
