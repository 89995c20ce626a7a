#!/bin/bash
# The installation as an admin meets it: cmake --install to a prefix of one's own stays inside it and gives
# a user unit that systemd accepts; the Debian package holds every piece at its place under /usr and /etc,
# and lintian finds no error and no warning in it.
# usage: package_test.sh <build dir>
source "$(dirname "$0")/../tools/process_lib.sh" && work_folder package && set -e
build=$(realpath "$1")

# Nothing outside the prefix (a login entry in /etc would fail for a user and
# outlive an uninstall).
cmake --install "$build" --prefix "$T/pfx" >"$T/log" || fail "cmake --install: $(cat "$T/log")"
! grep -v "^$T/pfx/" "$build/install_manifest.txt" || fail "installed outside the prefix"
unit=$T/pfx/lib/systemd/user/kesrow-console.service
grep -qx "ExecStart=$T/pfx/bin/kesrow --console" "$unit" || fail "unit names another program: $(grep Exec "$unit")"
MANPATH=$T/pfx/share/man: systemd-analyze verify "$unit" || fail "systemd-analyze verify $unit"
desktop-file-validate "$T/pfx/share/applications/kesrow.desktop" "$T/pfx/etc/xdg/autostart/kesrow.desktop" || fail "desktop entries"

cpack -G DEB -B "$T/deb" --config "$build/CPackConfig.cmake" >"$T/log" 2>&1 || fail "cpack: $(cat "$T/log")"
deb=$(echo "$T"/deb/kesrow_*-1_"$(dpkg --print-architecture)".deb)
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort >"$T/files"
printf '%s\n' ./etc/xdg/autostart/kesrow.desktop ./usr/bin/kesrow ./usr/lib/systemd/user/kesrow-console.service \
    ./usr/share/applications/kesrow.desktop ./usr/share/doc/kesrow/changelog.Debian.gz ./usr/share/doc/kesrow/copyright \
    ./usr/share/icons/hicolor/scalable/apps/kesrow.svg ./usr/share/man/ja/man1/kesrow.1.gz ./usr/share/man/man1/kesrow.1.gz |
    diff - "$T/files" || fail "package files differ"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libqt6widgets6 libqt6svg6; do case ", $depends" in *", $lib "*) ;; *) fail "Depends lacks $lib" ;; esac; done
[ "$(dpkg-deb -I "$deb" conffiles)" = /etc/xdg/autostart/kesrow.desktop ] || fail "conffiles"
dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/lib/systemd/user/kesrow-console.service |
    grep -qx "ExecStart=/usr/bin/kesrow --console" || fail "packaged unit does not name /usr/bin/kesrow"
# A login entry that dpkg keeps after a removal must start nothing.
for e in ./etc/xdg/autostart ./usr/share/applications; do
    dpkg-deb --fsys-tarfile "$deb" | tar -xOf - $e/kesrow.desktop | grep -qx TryExec=kesrow || fail "$e: no TryExec"; done
lintian --fail-on error,warning "$deb" >"$T/lintian" 2>&1 || fail "lintian: $(cat "$T/lintian")"
echo "PASS package: $(wc -l <"$T/files") files; Depends: $depends"
