#!/bin/sh
# Makes the test run's Wine prefix once (Wine's first start takes seconds)
# and the Japanese locale Wine takes its code page and language from.
#   wine_prefix.sh <wine folder>          make it; the server stays up
#   wine_prefix.sh <wine folder> --stop   end the prefix's server
set -eu
dir=$1
export WINEPREFIX="$dir/prefix" WINEDEBUG=-all
if [ "${2:-}" = --stop ]; then
    [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
    exit 0
fi
[ -d "$WINEPREFIX" ] && { wineserver -k 2>/dev/null || true; }
rm -rf "$dir"
mkdir -p "$dir/locale"
localedef -i ja_JP -f UTF-8 "$dir/locale/ja_JP.UTF-8"
export LOCPATH="$dir/locale" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
# No display: the prefix is made without windows, and the desktop test
# starts Wine's own desktop process again on its virtual screen.
env -u DISPLAY wineboot -i
# Kept up between the tests, so that each start is quick.
wineserver -p 120
