#!/usr/bin/env bash
# Two real clients and the server in one X server: each player opens the
# connection dialog and clicks through it, the game starts, and moves are
# played by real drags on alternating boards until both show one position.
# Usage: network_game.sh RUN_DIR ARTIFACT_DIR  (inside xvfb-run)
set -euo pipefail
run_dir=$1
artifacts=$2
mkdir -p "$artifacts"
. "$(dirname "$0")/lib.sh"

cd "$run_dir"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT

./server -platform offscreen >"$artifacts/net_server.out" 2>&1 &
pids+=($!)
./client >"$artifacts/net_black.out" 2>&1 &
black=$!
pids+=($black)
./client >"$artifacts/net_white.out" 2>&1 &
white=$!
pids+=($white)

main_window() { window_of "$1" "QArdesia multi"; }
wait_for '[ -n "$(main_window $black)" ] && [ -n "$(main_window $white)" ]' 20 || fail "the windows did not open"
sleep 1
xdotool windowmove "$(main_window $white)" 1000 0
wait_for 'xdotool getwindowgeometry "$(main_window $white)" | grep -q "Position: 1000,0"' 5 \
    || fail "cannot place the second window"

# "&Play multi..." through the menu's keys, then real clicks in the dialog,
# whose widgets stand at fixed places.
open_dialog() {
    local pid=$1 dialog
    xdotool windowfocus --sync "$(main_window "$pid")"
    xdotool key alt+n
    sleep 0.3
    xdotool key p
    wait_for 'window_of '"$pid"' Dialog' 10 || fail "the dialog of $pid did not open"
    sleep 0.5 # let it settle where it is centred over its window
    window_of "$pid" Dialog
}
click_in() { # window x y
    local pos
    pos=$(xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
    set -- "$1" "$2" "$3" $pos
    xdotool mousemove $(( $4 + $2 )) $(( $5 + $3 )) sleep 0.15 click 1
    sleep 0.2
}

dialog=$(open_dialog $black)
click_in "$dialog" 40 108   # "Noir"
click_in "$dialog" 317 41   # "Connect"
sleep 1
dialog=$(open_dialog $white)
click_in "$dialog" 40 158   # "Blanc"
click_in "$dialog" 317 41   # "Connect"

# Each board shows "Le joueur blanc commence." once its game connection is up.
dismiss_start_box() {
    local pid=$1 box
    # The box has no title of its own: it shows the program's name.
    wait_for 'window_of '"$pid"' client' 15 || fail "no start message on $pid"
    box=$(window_of "$pid" client)
    xdotool windowfocus --sync "$box"
    xdotool key Return
    wait_for '! window_of '"$pid"' client' 5 \
        || { shoot "$artifacts/net_fail.png"; fail "the start message on $pid did not close"; }
}
dismiss_start_box $white
dismiss_start_box $black
! window_of $black Dialog >/dev/null || fail "black's dialog is still open"
! window_of $white Dialog >/dev/null || fail "white's dialog is still open"

shot="$artifacts/net_start.png"
shoot "$shot"
read -r bbx bby <<<"$(board_origin "$shot" 0 0)" || fail "no board for black"
read -r wbx wby <<<"$(board_origin "$shot" 1000 0)" || fail "no board for white"
read -r bdx bdy <<<"$(list_disc_centre "$shot" "$bbx" "$bby" 0)" || fail "no disc in black's list"
# Both windows are laid out alike: white's disc stands where black's does.
wdx=$(( bdx + 1000 )) wdy=$bdy

# Plays (column, row) with the disc of the board at (BX, BY), then waits for
# the disc to show on both boards.
play() {
    local who=$1 col=$2 row=$3 fx fy bx by check=is_black
    if [ "$who" = white ]; then fx=$wdx fy=$wdy bx=$wbx by=$wby check=is_white
    else fx=$bdx fy=$bdy bx=$bbx by=$bby; fi
    read -r tx ty <<<"$(cell_centre "$bx" "$by" "$col" "$row")"
    read -r ox oy <<<"$(cell_centre "$bbx" "$bby" "$col" "$row")"
    read -r px py <<<"$(cell_centre "$wbx" "$wby" "$col" "$row")"
    drag "$fx" "$fy" "$tx" "$ty"
    wait_for 'shoot "$artifacts/net_move.png" && $check "$artifacts/net_move.png" $ox $oy && $check "$artifacts/net_move.png" $px $py' 10 \
        || fail "$who's move ($col, $row) does not show on both boards"
}

play white 2 3   # c4
play black 2 2   # c3
play white 3 2   # d3
play black 4 2   # e3

shot="$artifacts/net_end.png"
shoot "$shot"
size_of() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: \([0-9x]*\).*/\1/p'; }
/usr/bin/convert "$shot" -crop "$(size_of "$(main_window $black)")+0+0" +repage "$artifacts/net_black_board.png"
/usr/bin/convert "$shot" -crop "$(size_of "$(main_window $white)")+1000+0" +repage "$artifacts/net_white_board.png"

# Both boards show the same position, cell by cell, and it is the expected one.
expected=(
    "........" "........" "..***..." "..OO*..." "...O*..." "........" "........" "........")
for row in 0 1 2 3 4 5 6 7; do
    line_b="" line_w=""
    for col in 0 1 2 3 4 5 6 7; do
        for side in b w; do
            if [ $side = b ]; then read -r x y <<<"$(cell_centre "$bbx" "$bby" $col $row)"
            else read -r x y <<<"$(cell_centre "$wbx" "$wby" $col $row)"; fi
            if is_black "$shot" "$x" "$y"; then c='*'; elif is_white "$shot" "$x" "$y"; then c='O'; else c='.'; fi
            if [ $side = b ]; then line_b+=$c; else line_w+=$c; fi
        done
    done
    [ "$line_b" = "$line_w" ] || fail "row $row differs: black sees $line_b, white sees $line_w"
    [ "$line_b" = "${expected[$row]}" ] || fail "row $row is $line_b, expected ${expected[$row]}"
done
echo "network game: four real drags, both boards show the same position; screenshots in $artifacts"
