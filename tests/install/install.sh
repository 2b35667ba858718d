#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game as a user installs it: a tree that runs from any folder, valid desktop files and metainfo, man pages, licence
# and translations, stripped programs, command lines that answer without a display, quiet unless asked, and a package.
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
cmake --install "$build" --prefix "$prefix" --strip >/dev/null
desktop-file-validate "$prefix"/share/applications/*.desktop || fail "desktop files"
# Not even a pedantic note.
notes=$(appstreamcli validate --pedantic --no-net "$prefix"/share/metainfo/*.xml) || fail "metainfo: $notes"
grep -E '^[EWIP]:' <<<"$notes" && fail "metainfo notes"

# A folder holding the programs: both stripped, and both with what a distribution ships beside them.
has_all() { # root
    for program in ardesia ardesia-server; do
        [ "$(readelf -S "$1/bin/$program" | grep -c '\.symtab')" = 0 ] || fail "$1/bin/$program is not stripped"
        lexgrog "$1/share/man/man6/$program.6.gz" >/dev/null || fail "$1 has no man page for $program"
    done
    for file in doc/ardesia/LICENSE doc/ardesia/copyright ardesia/translations/ardesia_en.qm \
        ardesia/translations/ardesia_fr.qm; do
        [ -s "$1/share/$file" ] || fail "$1 lacks share/$file"
    done
}
has_all "$prefix"

# No display and no platform asked for: the text answers still come.
for program in ardesia ardesia-server; do
    for option in --help --version; do
        text=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" $option) ||
            fail "$program $option did not exit 0"
        grep -q "$program" <<<"$text" || fail "$program $option printed: $text"
    done
done

# Waits up to twenty seconds (a loaded machine) for a server on port $1.
await_port() {
    for _ in $(seq 200); do
        (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# Debug lines only where asked for: the server writes one for each text it receives, here a colour request.
traces() { # server [options...]
    local port=$(( 40000 + RANDOM % 9000 ))
    timeout 60 "$@" -platform offscreen --port "$port" 2>"$tmp/traces" &
    local pid=$!
    await_port "$port" || fail "$* does not listen"
    exec 3<>"/dev/tcp/127.0.0.1/$port"
    printf '\x00\x0e\x00\x00\x00\x0a\x00B\x00L\x00A\x00C\x00K' >&3
    sleep 0.5
    exec 3>&-
    kill "$pid"
    wait "$pid" || true
    grep -q '"BLACK"' "$tmp/traces"
}
traces "$prefix/bin/ardesia-server" && fail "the installed server traces unasked"
traces "$prefix/bin/ardesia-server" --verbose || fail "the installed server ignores --verbose"

# The package: its programs, pictures (those for screens at 200% too), menu entries, icon and Qt libraries.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/deb" >/dev/null
deb=$(ls "$tmp"/deb/ardesia_*.deb)
info=$(dpkg-deb --info "$deb")
contents=$(dpkg-deb --contents "$deb")
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6; do
    grep -q "Depends:.*$lib" <<<"$info" || fail "no dependency on $lib"
done
for file in usr/bin/ardesia usr/bin/ardesia-server usr/share/ardesia/checker.png \
    usr/share/ardesia/pion_noir.png usr/share/ardesia/pion_blanc.png usr/share/ardesia/checker@2x.png \
    usr/share/ardesia/ardesia.weights \
    usr/share/applications/org.ardesia.Ardesia.desktop usr/share/applications/org.ardesia.Server.desktop \
    usr/share/icons/hicolor/256x256/apps/org.ardesia.Ardesia.png \
    usr/share/metainfo/org.ardesia.ardesia.metainfo.xml usr/lib/systemd/system/ardesia-server.service \
    etc/default/ardesia-server; do
    grep -q " \./$file\$" <<<"$contents" || fail "the package lacks $file"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles | grep -qx /etc/default/ardesia-server ||
    fail "the service's settings are not a conffile"
dpkg-deb -x "$deb" "$tmp/unpacked"
has_all "$tmp/unpacked/usr"

# The installed client, started from an unrelated folder, shows its board
# and its disc and plays, in the language of the locale.
mkdir "$tmp/elsewhere"
cd "$tmp/elsewhere"
LANG=fr_FR.UTF-8 LC_ALL='' LC_MESSAGES='' LANGUAGE='' xvfb-run -a -s "-screen 0 2048x1080x24 -nolisten tcp" \
    bash "$here/../window/drag_against_computer.sh" "$prefix/bin/ardesia" "$build/artifacts/installed" ||
    fail "the installed client does not play"
[ "$(cat "$build/artifacts/installed/title")" = Ardesia ] || fail "the installed client found no translation"
echo "installed tree, package and command lines: all good"
