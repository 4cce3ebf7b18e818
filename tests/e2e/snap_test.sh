#!/usr/bin/env bash
# An Alt-drag of an xterm by its title bar shows the outline of the tile under the pointer while
# it lasts, just below the xterm, which stays in sight, and, on release, lands the window's frame
# in that tile and logs the tile.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
xs_start_xterm sample-1 80x24+200+200 || e2e_fail "no xterm"
term="$xs_window"
read -r inc_w inc_h < <(xs_resize_increments "$term")

e2e_launch "$e2e_app"

snaps=0
snapped_count_is() { [ "$(grep -c 'snapped to' "$xs_app_log")" -ge "$1" ]; }

# The frame of $term equals the root rectangle ($1 $2 $3 $4) but for the size hints: the xterm
# grows in whole cells, so it may fall short of the tile by less than one cell.
frame_fits() {
  local x y w h
  read -r x y w h < <(xs_frame_geometry "$term")
  [ "$x" = "$1" ] && [ "$y" = "$2" ] &&
    ((w <= $3 && $3 - w < inc_w && h <= $4 && $4 - h < inc_h))
}

# Alt-drags the xterm by its title bar to root point ($1, $2) and expects its frame at the root
# rectangle ($3 $4 $5 $6), logged as the tile $7. The xterm takes the closest size in whole
# cells, which the log reports as refused. Before the release the tile's outline is on screen;
# $8, when given, runs then, with the button still down.
snap_to() {
  local px="$1" py="$2" logged="$7" during="${8:-}"
  local sx sy line
  read -r sx sy < <(xs_title_bar_point "$term")
  xs_alt_drag "$sx" "$sy" "$px" "$py" 24 "xs_wait_for 10 xs_outline_over $px $py ||
    e2e_fail 'drag to ($px, $py): no outline under the pointer before the release'
    $during"
  snaps=$((snaps + 1))
  xs_wait_for 10 snapped_count_is "$snaps" || e2e_fail "the drag to ($px, $py) logged no 'snapped to'"
  line="$(grep 'snapped to' "$xs_app_log" | tail -n1)"
  [[ "$line" == *" snapped to $logged, result refused" ]] ||
    e2e_fail "drag to ($px, $py): expected 'snapped to $logged, result refused', logged '$line'"
  xs_wait_for 5 frame_fits "$3" "$4" "$5" "$6" ||
    e2e_fail "drag to ($px, $py): frame (x y w h) is $(xs_frame_geometry "$term"), expected $3 $4 $5 $6" \
      "or less than one ${inc_w}x${inc_h} cell smaller"
}

# The ultrawide's default is three even columns split at 1147 and 2293, gap 0. During a drag
# into the middle one its outline is on screen and no other tile's is; the pixels compared lie
# below where the dragged window is.
probe=("1720 1300" "573 1300" "4400 900")
mapfile -t desktop < <(xs_screen_pixels "${probe[@]}")
drag_pixels=()
outline_shown() {
  mapfile -t drag_pixels < <(xs_screen_pixels "${probe[@]}")
  [ "${drag_pixels[0]}" != "${desktop[0]}" ]
}
# The window just below top-level window $1 in the stacking order (xwininfo lists the top first).
window_below() { xwininfo -root -children | awk -v w="$(printf '0x%x' "$1")" '$1 == w { getline; print $1; exit }'; }
# During the drag the pointer is on the xterm's title bar: its frame is the window under it.
below_xterm=""
outline_below_xterm() {
  below_xterm="$(window_below "$(xs_frame_under_pointer)")"
  [ -n "$below_xterm" ] && xdotool search --onlyvisible --pid "$xs_app_pid" | grep -qx "$((below_xterm))"
}
# Polled while the button is still down: the outline follows the drag's events asynchronously.
snap_to 1720 720 1147 0 1146 1440 "(1147.0, 0.0, 1146.0, 1440.0)" 'xs_wait_for 10 outline_shown
  xs_wait_for 5 outline_below_xterm || e2e_fail "the outline is not just below the dragged xterm (below it: $below_xterm)"'
[ "${drag_pixels[0]}" != "${desktop[0]}" ] ||
  e2e_fail "no outline in the middle column during the drag (pixel ${probe[0]} stayed ${desktop[0]})"
e2e_expect_eq "${drag_pixels[1]}" "${desktop[1]}" "pixel ${probe[1]} of the left column during a drag into the middle one"
e2e_expect_eq "${drag_pixels[2]}" "${desktop[2]}" "pixel ${probe[2]} of the other monitor during a drag into the middle column"
# Released: the xterm's own white shows there now, no outline over it.
xterm_bare() { [ "$(xs_screen_pixels "1720 1300")" = "255,255,255" ]; }
xs_wait_for 10 xterm_bare ||
  e2e_fail "pixel 1720,1300 of the snapped xterm is $(xs_screen_pixels "1720 1300"), not its white"

# The other monitor is not ultrawide and has no dividers stored: no tile there, so a drag onto it
# is left where the window manager put it (the drag waits for that before it lets go). The next
# snap is then the only new line.
read -r sx sy < <(xs_title_bar_point "$term")
xs_alt_drag "$sx" "$sy" 4400 540 24
read -r x _ < <(xs_frame_geometry "$term")
((x >= xs_right[0])) || e2e_fail "openbox did not move the xterm onto the second monitor (frame x $x)"

# Back into the primary's first column.
snap_to 500 720 0 0 1147 1440 "(0.0, 0.0, 1147.0, 1440.0)"
e2e_expect_eq "$(grep -c 'snapped to' "$xs_app_log")" 2 "snaps logged after a drag onto the untiled monitor and one back"
e2e_pass
