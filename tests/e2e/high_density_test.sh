#!/usr/bin/env bash
# On a desktop at 2× (Xft.dpi 192, as Xfce, MATE and Cinnamon set for their scaling) an Alt-drag
# still snaps the xterm exactly into its tile, and the live overlay's handles are 28 points
# wide: 56 of the server's pixels, centred on their dividers over the full height.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
echo "Xft.dpi: 192" | xrdb -merge || e2e_fail "xrdb could not set Xft.dpi"
xs_start_xterm sample-1 80x24+200+200 || e2e_fail "no xterm"
term="$xs_window"
read -r inc_w inc_h < <(xs_resize_increments "$term")

e2e_launch "$e2e_app"

frame_fits() {
  local x y w h
  read -r x y w h < <(xs_frame_geometry "$term")
  [ "$x" = "$1" ] && [ "$y" = "$2" ] && ((w <= $3 && $3 - w < inc_w && h <= $4 && $4 - h < inc_h))
}
# The ultrawide's first column: 0 to 1147 (the others split at 2293).
read -r sx sy < <(xs_title_bar_point "$term")
xs_alt_drag "$sx" "$sy" 500 720 24
xs_wait_log 'snapped to' 10 || e2e_fail "the xterm was not snapped into the first column"
xs_wait_for 5 frame_fits 0 0 1147 1440 || e2e_fail "xterm frame $(xs_frame_geometry "$term") does not fill the first column"

# Marrowick's shown windows as root rectangles "x y width height".
shown_windows() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$xs_app_pid" 2>/dev/null); do
    xwininfo -id "$id" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
      /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
  done
}
# A window of Qt's at 2× starts on an even pixel: each handle within a pixel (half a point) of
# its divider, on the divider's either side.
handle_at() { awk -v d="$2" '$3 == 56 && $4 == 1440 && $2 == 0 && $1 + 28 - d <= 1 && d - ($1 + 28) <= 1 { found = 1 }
  END { exit !found }' <<<"$1"; }
handles_shown() {
  local shown
  shown="$(shown_windows)"
  handle_at "$shown" 1147 && handle_at "$shown" 2293
}
xdotool keydown alt
xs_wait_for 5 handles_shown ||
  e2e_fail "holding Alt showed no 56-pixel handles on the dividers at 1147 and 2293: $(shown_windows | tr '\n' ';')"
xs_screenshot "$xs_dir/overlay.png"
xdotool keyup alt
e2e_pass
