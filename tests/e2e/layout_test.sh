#!/usr/bin/env bash
# A layout stored in the settings file is used on the real desktop: the second monitor (no EDID
# under Xvfb, so its settings are keyed by its name) cut in two columns with a gap between them.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
xs_start_xterm sample-1 80x24+200+200 || e2e_fail "no xterm"
term="$xs_window"
read -r inc_w inc_h < <(xs_resize_increments "$term")

mkdir -p "$xs_dir/config/marrowick"
cat >"$xs_dir/config/marrowick/settings.json" <<'JSON'
{"displayDividers": {"RIGHT": [0.5]}, "displayGap": {"RIGHT": 20}}
JSON
e2e_launch "$e2e_app"

# RIGHT is 1920 wide from root x 3440: columns split at 4400, 10 taken off each side of the
# split. Its top is the primary's top, root y 0. The xterm grows in whole cells and takes the
# closest size it can, which the log reports as refused.
read -r sx sy < <(xs_title_bar_point "$term")
xs_alt_drag "$sx" "$sy" 4900 540 24 'xs_wait_for 10 xs_outline_over 4900 540 ||
  e2e_fail "no outline under the pointer before the release"'
xs_wait_log 'snapped to' 10 || e2e_fail "the drag into the second column of RIGHT logged no 'snapped to'"
line="$(grep 'snapped to' "$xs_app_log" | tail -n1)"
[[ "$line" == *" snapped to (4410.0, 0.0, 950.0, 1080.0), result refused" ]] ||
  e2e_fail "expected 'snapped to (4410.0, 0.0, 950.0, 1080.0), result refused', logged '$line'"

frame_fits() {
  local x y w h
  read -r x y w h < <(xs_frame_geometry "$term")
  [ "$x" = 4410 ] && [ "$y" = 0 ] && ((w <= 950 && 950 - w < inc_w && h <= 1080 && 1080 - h < inc_h))
}
xs_wait_for 5 frame_fits ||
  e2e_fail "frame (x y w h) is $(xs_frame_geometry "$term"), expected 4410 0 950 1080 or less than one cell smaller"
e2e_pass
