#!/usr/bin/env bash
# The real client in a real X server: open the disc with the keyboard
# shortcut, drag it to c5 with the mouse, and see the computer answer.
# Usage: drag_against_computer.sh RUN_DIR ARTIFACT_DIR  (inside xvfb-run)
set -euo pipefail
run_dir=$1
artifacts=$2
mkdir -p "$artifacts"
. "$(dirname "$0")/lib.sh"

out="$artifacts/drag_client.out"
cd "$run_dir"
stdbuf -oL ./client >"$out" 2>&1 &
client=$!
trap 'kill $client 2>/dev/null || true' EXIT

wait_for '[ -n "$(window_id "QArdesia multi")" ]' 20 || fail "the window did not open"
win=$(window_id "QArdesia multi")
sleep 1
xdotool windowfocus --sync "$win"
xdotool key ctrl+o

shot="$artifacts/drag_before.png"
wait_for 'shoot "$shot" && origin=$(board_origin "$shot" 0 0) && list_disc_centre "$shot" $origin' 10 \
    || fail "no board or no disc in the piece list after the Open shortcut"
read -r bx by <<<"$(board_origin "$shot" 0 0)"
read -r dx dy <<<"$(list_disc_centre "$shot" "$bx" "$by")"
read -r cx cy <<<"$(cell_centre "$bx" "$by" 2 4)"
read -r ex ey <<<"$(cell_centre "$bx" "$by" 4 5)"
is_felt "$shot" "$cx" "$cy" || fail "c5 is not empty before the move"
is_felt "$shot" "$ex" "$ey" || fail "e6 is not empty before the move"

drag "$dx" "$dy" "$cx" "$cy"

# The computer's answer ends on its depth-5 line, with e6.
wait_for 'grep -qP "^5\t2478\t2\te6$" "$out"' 20 || { cat "$out"; fail "the computer did not answer with e6"; }
grep -qP '^prof\tnoeuds\teval\tcoup$' "$out" || fail "no search table header"

shot="$artifacts/drag_after.png"
wait_for 'shoot "$shot" && is_black "$shot" $cx $cy && is_white "$shot" $ex $ey' 10 \
    || fail "the board does not show black on c5 and white on e6"
read -r d5x d5y <<<"$(cell_centre "$bx" "$by" 3 4)"
read -r e5x e5y <<<"$(cell_centre "$bx" "$by" 4 4)"
is_black "$shot" "$d5x" "$d5y" || fail "d5 was not turned black"
is_white "$shot" "$e5x" "$e5y" || fail "e5 was not turned white"
# The disc is still in the list for the next move.
list_disc_centre "$shot" "$bx" "$by" >/dev/null || fail "the disc left the piece list"
echo "real drag: black c5, white e6 shown; screenshots in $artifacts"
