#!/usr/bin/env bash
# Resident memory of an idle headless copy (status "OK", no dial-up), the
# console copy of the build without Qt. Prints figures; asserts nothing.
#
#   bench/idle_console.sh [kesrow binary] [seconds]   (defaults: build-nox/app/kesrow, 10)
set -euo pipefail
binary=$(realpath "${1:-$(dirname "$0")/../build-nox/app/kesrow}")
seconds=${2:-10}
work=$(mktemp -d "${TMPDIR:-/tmp}/kesrow-idle-console.XXXXXX")
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/share" "$work/office" && mkdir -m 700 "$work/run"
printf 'OK\r\n' >"$work/share/kesrow.txt"
printf '%s/share/\r\n' "$work" >"$work/office/pas.txt"
(cd "$work/office" && exec env XDG_RUNTIME_DIR="$work/run" "$binary" --console </dev/null >"$work/out" 2>&1) &
pid=$!
sleep "$seconds"
kill -0 "$pid" 2>/dev/null || { echo "the copy ended:" >&2; cat "$work/out" >&2; exit 1; }
echo "idle headless copy after ${seconds} s ($(ldd "$binary" | wc -l) shared objects):"
grep -E '^(VmRSS|VmHWM|RssAnon|RssFile)' "/proc/$pid/status"
