#!/bin/sh
# Installs the desktop component into a scratch root and checks that the
# menu entry, the login entry and the icon land where desktops look.
# usage: desktop_install_test.sh <build dir>
set -eu
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

DESTDIR=$root cmake --install "$build" --component desktop >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
one() {  # the single installed file matching a pattern
    found=$(find "$root" -path "$1" -type f)
    [ -n "$found" ] && [ "$(printf '%s\n' "$found" | wc -l)" -eq 1 ] || fail "no single file like $1: $found"
    printf '%s' "$found"
}
menu=$(one '*/share/applications/kesrow.desktop')
login=$(one '*/xdg/autostart/kesrow.desktop')
icon=$(one '*/share/icons/hicolor/scalable/apps/kesrow.svg')

for entry in "$menu" "$login"; do
    grep -qx 'Name=ケスロウ' "$entry" || fail "$entry: no Name=ケスロウ"
    grep -qx 'Exec=kesrow' "$entry" || fail "$entry: no Exec=kesrow"
    grep -qx 'Icon=kesrow' "$entry" || fail "$entry: no Icon=kesrow"
    if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry"; fi
done
grep -q '<svg' "$icon" || fail "$icon is no SVG"
case $login in "$root"/etc/xdg/autostart/*) ;; *) fail "login entry not in /etc/xdg/autostart: $login" ;; esac
echo "installed: $menu $login $icon"
