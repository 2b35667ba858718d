#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game as a user installs it: a tree that runs from any folder, valid desktop
# files and metainfo, command lines that answer without a display, and a package.
# Usage: install.sh BUILD_DIR
set -euo pipefail
build=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tmp=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$tmp"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
desktop-file-validate "$prefix"/share/applications/*.desktop || fail "desktop files"
appstreamcli validate --no-net "$prefix"/share/metainfo/*.xml || fail "metainfo"

# No display and no platform asked for: the text answers still come.
for program in ardesia ardesia-server; do
    for option in --help --version; do
        text=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" $option) ||
            fail "$program $option did not exit 0"
        grep -q "$program" <<<"$text" || fail "$program $option printed: $text"
    done
done

# A server on a port of our choosing, while another stays on its own.
port=$(( 40000 + RANDOM % 9000 ))
"$prefix/bin/ardesia-server" -platform offscreen --port "$port" >/dev/null 2>&1 &
for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
done
(exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || fail "the server does not listen on port $port"
"$prefix/bin/ardesia-server" -platform offscreen --port 0 2>/dev/null && fail "port 0 was taken"

# The package: its programs, pictures, menu entries, icon and Qt libraries.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/deb" >/dev/null
deb=$(ls "$tmp"/deb/ardesia_*.deb)
info=$(dpkg-deb --info "$deb")
contents=$(dpkg-deb --contents "$deb")
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6; do
    grep -q "Depends:.*$lib" <<<"$info" || fail "no dependency on $lib"
done
grep -q "Section: games" <<<"$info" || fail "not in the games section"
for file in usr/bin/ardesia usr/bin/ardesia-server usr/share/ardesia/checker.png \
    usr/share/ardesia/pion_noir.png usr/share/ardesia/pion_blanc.png \
    usr/share/applications/org.ardesia.Ardesia.desktop usr/share/applications/org.ardesia.Server.desktop \
    usr/share/icons/hicolor/256x256/apps/org.ardesia.Ardesia.png \
    usr/share/metainfo/org.ardesia.Ardesia.metainfo.xml usr/lib/systemd/system/ardesia-server.service; do
    grep -q " \./$file\$" <<<"$contents" || fail "the package lacks $file"
done
# The pictures for screens at 200% ship beside the others.
grep -q " \./usr/share/ardesia/checker@2x.png\$" <<<"$contents" || fail "the package lacks the pictures at 200%"

# The installed client, started from an unrelated folder, shows its board
# and its disc and plays.
mkdir "$tmp/elsewhere"
cd "$tmp/elsewhere"
xvfb-run -a -s "-screen 0 2048x1080x24 -nolisten tcp" \
    bash "$here/../window/drag_against_computer.sh" "$prefix/bin/ardesia" "$build/artifacts/installed" ||
    fail "the installed client does not play"
echo "installed tree, package and command lines: all good"
