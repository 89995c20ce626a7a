#!/bin/sh
# Makes the test run's Wine prefix once (Wine's first start takes seconds)
# and the Japanese locale Wine takes its code page and language from.
#   wine_prefix.sh <wine folder>          make it; its server stays up a while
#   wine_prefix.sh <wine folder> --stop   end the prefix's server
set -eu
dir=$1
export WINEPREFIX="$dir/prefix" WINEDEBUG=-all
if [ "${2:-}" = --stop ]; then
    [ ! -d "$WINEPREFIX" ] || wineserver -k 2>/dev/null || true
    exit 0
fi
[ ! -d "$WINEPREFIX" ] || wineserver -k 2>/dev/null || true
rm -rf "$dir"
mkdir -p "$dir/locale"
localedef -i ja_JP -f UTF-8 "$dir/locale/ja_JP.UTF-8"
export LOCPATH="$dir/locale" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
# The server stays up between the tests, so that each start is quick.
# Wine's own processes outlive this script: they must not hold its output.
wineserver -p 120 </dev/null >/dev/null 2>&1
env -u DISPLAY wineboot -i </dev/null >"$dir/wineboot.log" 2>&1 || { cat "$dir/wineboot.log"; exit 1; }
