# Helpers for the tests that drive the real client under Xvfb with a real
# mouse. Sourced by the test scripts; they run inside xvfb-run.

fail() {
    echo "FAIL: $*" >&2
    echo "windows shown:" >&2
    for w in $(xdotool search --onlyvisible --name "" 2>/dev/null); do
        echo "  $w \"$(xdotool getwindowname "$w")\" $(xdotool getwindowgeometry "$w" | tr -s '\n ' ' ')" >&2
    done
    exit 1
}

# Waits up to $2 seconds (default 10) for the command $1 to succeed.
wait_for() {
    local tries=$(( ${2:-10} * 10 ))
    while ! eval "$1" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

window_id() { xdotool search --name "$1" 2>/dev/null | head -1; }

# The first visible window of process PID whose title is exactly TITLE.
# (Titles are matched here: some windows carry theirs only in _NET_WM_NAME,
# which xdotool's --name does not search.)
window_of() {
    local pid=$1 title=$2 w
    for w in $(xdotool search --all --onlyvisible --pid "$pid" --class "" 2>/dev/null); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$title" ] && { echo "$w"; return 0; }
    done
    return 1
}

shoot() { /usr/bin/import -window root "$1"; }

# Bounding box "W H X Y" of the pixels near COLOR within the area CROP
# (WxH+X+Y) of the picture FILE, in screen coordinates.
colour_box() {
    local file=$1 colour=$2 fuzz=$3 crop=$4
    local ox oy
    ox=$(echo "$crop" | sed -E 's/^[0-9]+x[0-9]+\+([0-9]+)\+([0-9]+)$/\1/')
    oy=$(echo "$crop" | sed -E 's/^[0-9]+x[0-9]+\+([0-9]+)\+([0-9]+)$/\2/')
    # Marks the matching pixels magenta first, then everything else black.
    /usr/bin/convert "$file" -crop "$crop" +repage -fuzz "$fuzz" -fill magenta -opaque "$colour" \
        -fuzz 0 -fill black +opaque magenta -fill white -opaque magenta \
        -bordercolor black -border 1 -format '%@' info: |
        sed -E 's/^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$/\1 \2 \3 \4/' |
        awk -v ox="$ox" -v oy="$oy" '{ print $1, $2, $3 - 1 + ox, $4 - 1 + oy }'
}

# Top-left corner "X Y" of the board whose window starts at (WX, WY):
# the light squares start two pixels inside it, past the grid line.
board_origin() {
    local box
    box=$(colour_box "$1" "#23864a" 2% "900x720+$2+$3")
    set -- $box
    [ "${1:-0}" -gt 500 ] || return 1
    echo $(( $3 - 2 )) $(( $4 - 2 ))
}

# Centre "X Y" of the disc shown in the piece list, left of the board.
list_disc_centre() {
    local file=$1 bx=$2 by=$3 box
    box=$(colour_box "$file" black 30% "$(( bx - ${4:-0} ))x200+${4:-0}+$by")
    set -- $box
    [ "${1:-0}" -gt 20 ] || return 1
    echo $(( $3 + $1 / 2 )) $(( $4 + $2 / 2 ))
}

# Colour "r g b" of one pixel.
pixel() {
    /usr/bin/convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}

# 0 when the pixel is a black disc, a white disc or the green felt.
is_black() { set -- $(pixel "$@"); [ "$1" -lt 90 ] && [ "$2" -lt 90 ] && [ "$3" -lt 90 ]; }
is_white() { set -- $(pixel "$@"); [ "$1" -gt 170 ] && [ "$2" -gt 170 ] && [ "$3" -gt 170 ]; }
is_felt()  { set -- $(pixel "$@"); [ "$2" -gt $(( $1 + 40 )) ] && [ "$2" -gt $(( $3 + 40 )) ]; }

# A real drag with the mouse: button down, two moves, then release.
drag() {
    local fx=$1 fy=$2 tx=$3 ty=$4
    xdotool mousemove "$fx" "$fy" sleep 0.15 mousedown 1 sleep 0.15 \
        mousemove $((fx + 20)) $((fy + 10)) sleep 0.15 \
        mousemove "$tx" "$ty" sleep 0.15 \
        mousemove $((tx + 4)) $((ty + 4)) sleep 0.15 mouseup 1
}

# Screen centre "X Y" of the cell (column, row) of a board at (BX, BY).
cell_centre() { echo $(( $1 + $3 * 80 + 40 )) $(( $2 + $4 * 80 + 40 )); }
