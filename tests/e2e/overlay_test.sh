#!/usr/bin/env bash
# Holding Alt shows every tile and a handle on every divider; dragging a handle with the button
# moves the divider (stored in hundredths) and the xterm that filled the tile follows; the press
# on the handle neither hides the overlay nor takes the focus; releasing Alt hides everything.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
xs_start_xterm sample-1 80x24+200+200 || e2e_fail "no xterm"
term="$xs_window"
read -r inc_w inc_h < <(xs_resize_increments "$term")

e2e_launch "$e2e_app"

frame_fits() {
  local x y w h
  read -r x y w h < <(xs_frame_geometry "$term")
  [ "$x" = "$1" ] && [ "$y" = "$2" ] && ((w <= $3 && $3 - w < inc_w && h <= $4 && $4 - h < inc_h))
}

# The xterm fills the ultrawide's first column (0 to 1147; the others split at 2293).
read -r sx sy < <(xs_title_bar_point "$term")
xs_alt_drag "$sx" "$sy" 500 720 24
xs_wait_log 'snapped to' 10 || e2e_fail "the xterm was not snapped into the first column"
xs_wait_for 5 frame_fits 0 0 1147 1440 || e2e_fail "xterm frame $(xs_frame_geometry "$term") does not fill the first column"
focus="$(xdotool getwindowfocus)"

# Where the overlay shows: the middle column's outline over the bare desktop, and the second
# divider's line and grip (its strip is 28 wide, centred on x 2293).
probes=("2000 1300" "2293 300" "2284 720")
xs_screenshot "$xs_dir/before.xwd"
mapfile -t bare < <(xs_pixels "$xs_dir/before.xwd" "${probes[@]}")
# shown: every probe differs from the bare desktop; hidden: every probe is bare again.
overlay_is() {
  local i now
  xs_screenshot "$xs_dir/now.xwd" || return 1
  mapfile -t now < <(xs_pixels "$xs_dir/now.xwd" "${probes[@]}")
  for i in "${!probes[@]}"; do
    if [ "$1" = shown ]; then
      [ "${now[i]}" != "${bare[i]}" ] || return 1
    else
      [ "${now[i]}" = "${bare[i]}" ] || return 1
    fi
  done
}

xdotool keydown alt
xs_wait_for 5 overlay_is shown || e2e_fail "holding Alt showed no outlines and handles"
xs_screenshot "$xs_dir/overlay.png"

# Drag the first handle from its grip at (1147, 720) to x 1720 (half the width) with the
# button down and Alt still held, by relative XTest motion.
xdotool mousemove 1147 720 mousedown 1
moves=()
for ((i = 0; i < 40; i++)); do moves+=(mousemove_relative -- 14 0); done
xdotool "${moves[@]}" mousemove_relative -- 13 0
# Pointer acceleration may have carried it further: close the rest the same way.
read -r cx cy < <(xs_pointer)
[ "$cx $cy" = "1720 720" ] || xdotool mousemove_relative -- "$((1720 - cx))" "$((720 - cy))"
pointer_at() { [ "$(xs_pointer)" = "$1 $2" ]; }
xs_wait_for 5 pointer_at 1720 720 || e2e_fail "the pointer ended at $(xs_pointer), not 1720 720"
xs_wait_for 5 frame_fits 0 0 1720 1440 ||
  e2e_fail "during the handle drag the xterm frame is $(xs_frame_geometry "$term"), not the first column up to 1720"
overlay_is shown || e2e_fail "the press on the handle hid the overlay"
xdotool mouseup 1
stored() { tr -d ' \n' <"$xs_dir/config/marrowick/settings.json" | grep -q '"displayDividers":{"LEFT":\[0.5,0.66'; }
xs_wait_for 5 stored || e2e_fail "the settings file holds no LEFT dividers [0.5, 2/3]: $(cat "$xs_dir/config/marrowick/settings.json")"
overlay_is shown || e2e_fail "the overlay went at the release with Alt still held"
e2e_expect_eq "$(xdotool getwindowfocus)" "$focus" "focused window after the press on the handle"
e2e_expect_eq "$(grep -c 'snapped to' "$xs_app_log")" 1 "snaps logged (the handle press is no window drag)"

xdotool keyup alt
xs_wait_for 5 overlay_is hidden || e2e_fail "releasing Alt left the overlay on screen"
e2e_pass
