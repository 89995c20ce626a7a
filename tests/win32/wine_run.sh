#!/bin/sh
# Runs a Windows program under Wine: the test run's prefix, a Japanese locale.
#   wine_run.sh <wine folder> <program.exe> [arguments...]
dir=$1
shift
export WINEPREFIX="$dir/prefix" LOCPATH="$dir/locale" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
