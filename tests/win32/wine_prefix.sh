#!/bin/sh
# Makes the test run's Wine prefix once (Wine's first start takes seconds) and
# the Japanese locale Wine takes its code page and language from; with --stop,
# ends the prefix's server.   wine_prefix.sh <wine folder> [--stop]
set -eu
export WINEPREFIX="$1/prefix" WINEDEBUG=-all
[ ! -d "$WINEPREFIX" ] || wineserver -k 2>/dev/null || true
[ "${2:-}" != --stop ] || exit 0
rm -rf "$1" && mkdir -p "$1/locale" "$WINEPREFIX" "$1/links/elsewhere"
ln -s elsewhere "$1/links/kesrow.txt" && ln -s elsewhere "$1/links/kesrow.log"  # Wine makes no links of its own
localedef -i ja_JP -f UTF-8 "$1/locale/ja_JP.UTF-8"
export LOCPATH="$1/locale" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
# The server stays up between the tests, so that each start is quick.
# Wine's own processes outlive this script: they must not hold its output.
wineserver -p 120 </dev/null >/dev/null 2>&1
env -u DISPLAY wineboot -i </dev/null >"$1/wineboot.log" 2>&1 || { cat "$1/wineboot.log"; exit 1; }
