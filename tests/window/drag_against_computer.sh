#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real client, started in the current folder, in a real X server: open the
# disc with Ctrl+O, drag it to c5 with the mouse, see the computer answer e6.
# Usage: drag_against_computer.sh CLIENT ARTIFACT_DIR  (inside xvfb-run)
set -euo pipefail
client=$1
artifacts=$2
mkdir -p "$artifacts"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# Waits up to $2 seconds for the command $1 to succeed.
wait_for() {
    for _ in $(seq $(( $2 * 10 ))); do
        eval "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
shoot() { /usr/bin/import -window root "$1"; }
# "W H X Y": the box around the pixels near COLOUR within the area W x H at
# (X, Y) of the picture, in screen coordinates.
colour_box() { # picture colour fuzz W H X Y
    /usr/bin/convert "$1" -crop "$4x$5+$6+$7" +repage -fuzz "$3" -fill magenta -opaque "$2" \
        -fuzz 0 -fill black +opaque magenta -fill white -opaque magenta \
        -bordercolor black -border 1 -format '%@' info: |
        tr 'x+' '  ' | awk -v x="$6" -v y="$7" '{ print $1, $2, $3 - 1 + x, $4 - 1 + y }'
}
# The window stands at (0, 0); the board's light squares start two pixels in.
board_origin() {
    set -- $(colour_box "$1" "#23864a" 2% 900 720 0 0)
    [ "${1:-0}" -gt 500 ] && echo $(( $3 - 2 )) $(( $4 - 2 ))
}
# The centre of the disc in the piece list, left of the board at (BX, BY).
list_disc() {
    set -- $(colour_box "$1" black 30% "$2" 200 0 "$3")
    [ "${1:-0}" -gt 20 ] && echo $(( $3 + $1 / 2 )) $(( $4 + $2 / 2 ))
}
# Whether cell (column, row) shows a black disc, a white disc or the felt.
cell_is() { # picture kind column row
    local at="p{$(( bx + $3 * 80 + 40 )),$(( by + $4 * 80 + 40 ))}"
    set -- $(/usr/bin/convert "$1" -format "%[fx:int(255*$at.r)] %[fx:int(255*$at.g)] %[fx:int(255*$at.b)]" info:) "$2"
    case $4 in
        black) [ "$1" -lt 90 ] && [ "$2" -lt 90 ] && [ "$3" -lt 90 ] ;;
        white) [ "$1" -gt 170 ] && [ "$2" -gt 170 ] && [ "$3" -gt 170 ] ;;
        felt) [ "$2" -gt $(( $1 + 40 )) ] && [ "$2" -gt $(( $3 + 40 )) ] ;;
    esac
}

out="$artifacts/drag_client.out"
# Settings of its own: the player's chosen options would change the board.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
# stdbuf preloads its library ahead of the sanitizer runtime, which then
# refuses to start; that library does not touch memory, so skip the check.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" stdbuf -oL "$client" >"$out" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
# The title as written, or as translated for the player's language.
title='^(QArdesia multi|Ardesia)$'
wait_for 'xdotool search --name "$title"' 20 || fail "the window did not open"
sleep 1
window=$(xdotool search --name "$title" | head -1)
xdotool getwindowname "$window" >"$artifacts/title"
xdotool windowfocus --sync "$window" key ctrl+o

shot="$artifacts/drag_before.png"
wait_for 'shoot $shot && list_disc $shot $(board_origin $shot)' 10 || fail "no board, or no disc after Ctrl+O"
read -r bx by <<<"$(board_origin "$shot")"
read -r dx dy <<<"$(list_disc "$shot" "$bx" "$by")"
cell_is "$shot" felt 2 4 && cell_is "$shot" felt 4 5 || fail "c5 or e6 is not empty before the move"

# A real drag: button down, two moves, then the release on c5.
tx=$(( bx + 2 * 80 + 40 ))
ty=$(( by + 4 * 80 + 40 ))
xdotool mousemove "$dx" "$dy" sleep 0.15 mousedown 1 sleep 0.15 mousemove $((dx + 20)) $((dy + 10)) \
    sleep 0.15 mousemove "$tx" "$ty" sleep 0.15 mousemove $((tx + 4)) $((ty + 4)) sleep 0.15 mouseup 1

# The computer's answer ends on its depth-5 line, with e6, and shows: c5 and
# d5 black, e5 and e6 white, and the disc still in the list.
wait_for 'grep -qP "^5\t2478\t2\te6$" "$out"' 20 || { cat "$out"; fail "the computer did not answer e6"; }
shot="$artifacts/drag_after.png"
wait_for 'shoot $shot && cell_is $shot white 4 5' 10 || fail "e6 does not show white"
cell_is "$shot" black 2 4 && cell_is "$shot" black 3 4 && cell_is "$shot" white 4 4 || fail "wrong discs"
list_disc "$shot" "$bx" "$by" >/dev/null || fail "the disc left the piece list"

# Quit with Ctrl+Q rather than a signal: sanitizers report leaks only when
# the client exits normally, and their findings make it exit non-zero.
xdotool windowfocus --sync "$window" key ctrl+q
wait_for "! grep -qs '^State:[[:space:]]*[^Z]' /proc/$pid/status" 30 || fail "the client did not quit on Ctrl+Q"
trap - EXIT
status=0
wait "$pid" || status=$?
if grep -qE "ERROR: (Leak|Address)Sanitizer|runtime error:" "$out" || [ "$status" -ne 0 ]; then
    cat "$out"
    fail "the client exited with status $status, or a sanitizer reported an error"
fi
echo "real drag: black c5, white e6 shown; screenshots in $artifacts"
