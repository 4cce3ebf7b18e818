#!/usr/bin/env bash
# "--settings" opens the settings window in front, centred on the primary monitor. Through its
# keyboard the second monitor gets three sections, which are outlined for a moment; an Alt-drag
# then snaps a window into one of them. An Alt-drag of the settings window itself never snaps.
# "Start at login" writes an autostart entry that starts this binary, from a folder with a space;
# from a folder whose name is not UTF-8, which no entry can name, it writes none, says why in the
# log and stays unticked.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
xs_start_xterm sample-1 80x24+200+200 || e2e_fail "no xterm"
term="$xs_window"

# The binary from a folder whose name has a space, as start at login must name it.
mkdir -p "$xs_dir/My Apps"
cp "$e2e_app" "$xs_dir/My Apps/marrowick"
app="$xs_dir/My Apps/marrowick"

e2e_launch "$app" --settings
# The tray icon's hidden window bears the name too: the settings window is the one shown.
settings_window() {
  local id
  for id in $(xdotool search --name '^Marrowick Settings$' 2>/dev/null); do
    xs_managed "$id" && echo "$id" && return 0
  done
  return 1
}
xs_wait_for 15 settings_window || e2e_fail "--settings showed no window titled Marrowick Settings"
win="$(settings_window)"
active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ]; }
xs_wait_for 10 active || e2e_fail "the settings window is not the active window"

read -r x y w h < <(xs_frame_geometry "$win")
cx=$((x + w / 2))
cy=$((y + h / 2))
((cx > 1720 - 40 && cx < 1720 + 40 && cy > 720 - 40 && cy < 720 + 40)) ||
  e2e_fail "the window (frame $x $y $w $h) is not centred on the primary monitor"
# As wide as its design or as its widest row needs with the desktop's font, whichever is more.
((w >= 500 && w < 900)) || e2e_fail "the window's frame is $w wide"
xs_screenshot "$xs_dir/settings.png"
convert "$xs_dir/settings.png" -crop "${w}x${h}+${x}+${y}" +repage "$xs_dir/settings-window.png" ||
  e2e_fail "could not crop the screenshot"
if [ -n "${MARROWICK_E2E_SHOTS:-}" ]; then cp "$xs_dir/settings-window.png" "$MARROWICK_E2E_SHOTS/"; fi

# The right monitor's three tiles, 640 wide, as the root rectangles of Marrowick's shown
# outline windows (a screenshot per poll would be too slow to catch 1.5 s reliably).
tiles=("3440 0 640 1080" "4080 0 640 1080" "4720 0 640 1080")
shown_outlines() {
  local id
  for id in $(xdotool search --onlyvisible --classname marrowick 2>/dev/null); do
    [ "$id" = "$win" ] && continue
    xwininfo -id "$id" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
      /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
  done
}
outlined() {
  local shown t
  shown="$(shown_outlines)"
  for t in "${tiles[@]}"; do grep -qx "$t" <<<"$shown" || return 1; done
}
bare() {
  local shown t
  shown="$(shown_outlines)"
  for t in "${tiles[@]}"; do grep -qx "$t" <<<"$shown" && return 1; done
  return 0
}
bare || e2e_fail "the right monitor is outlined before anything was picked"

# Focus starts on the monitor list: Down picks the second monitor; Tab reaches the section
# picker on "Off", and the arrow keys move its selection to "2" and then "3".
xdotool key --window "$win" Down
xdotool key --window "$win" Tab
xdotool key --window "$win" Right
xdotool key --window "$win" Right
xs_wait_for 5 outlined || e2e_fail "the right monitor's three tiles were not outlined after picking 3"
shown_at=${EPOCHREALTIME/./}
xs_wait_for 5 bare || e2e_fail "the tiles' outlines stayed up"
shown_for=$(((${EPOCHREALTIME/./} - shown_at) / 1000))
((shown_for > 800 && shown_for < 3000)) || e2e_fail "the outlines stayed up ${shown_for} ms, not about 1.5 s"

# The middle of the three is (4080, 0, 640, 1080); the xterm takes the closest size in whole
# cells, which the log reports as refused.
read -r sx sy < <(xs_title_bar_point "$term")
xs_alt_drag "$sx" "$sy" 4400 540 24
snapped() { grep -q 'snapped to (4080.0, 0.0, 640.0, 1080.0), result refused' "$xs_app_log"; }
xs_wait_for 10 snapped || e2e_fail "the xterm did not snap into the middle tile: $(grep 'snapped' "$xs_app_log")"
read -r tx _ tw _ < <(xs_frame_geometry "$term")
((tx == 4080 && tw <= 640 && tw > 600)) || e2e_fail "the xterm's frame is at x $tx, $tw wide"

# The settings window's own Alt-drag into the ultrawide's middle column: openbox moves it, and
# Marrowick neither outlines nor snaps it.
read -r sx sy < <(xs_title_bar_point "$win")
xs_alt_drag "$sx" "$sy" 1720 300 24
moved() {
  local nx
  read -r nx _ < <(xs_frame_geometry "$win")
  [ "$nx" != "$x" ]
}
xs_wait_for 5 moved || e2e_fail "openbox did not move the settings window"
second_snap() { [ "$(grep -c 'snapped to' "$xs_app_log")" -gt 1 ]; }
xs_wait_for 2 second_snap && e2e_fail "the settings window was snapped: $(grep 'snapped to' "$xs_app_log" | tail -n1)"
read -r _ _ nw nh < <(xs_frame_geometry "$win")
e2e_expect_eq "$nw $nh" "$w $h" "the settings window's size after its own Alt-drag"

# "Start at login" is the last row: its checkbox sits at the window's bottom left.
read -r x y w h < <(xs_frame_geometry "$win")
xdotool mousemove "$((x + 34))" "$((y + h - 32))" click 1
xs_wait_log 'start at login: 1' 10 || e2e_fail "ticking 'Start at login' did not register"
entry="$(find "$xs_dir/config/autostart" -name '*.desktop' | head -n1)"
[ -n "$entry" ] || e2e_fail "no autostart entry was written"
e2e_expect_eq "$(grep '^Exec=' "$entry")" "Exec=\"$app\"" "the entry's command"
# A session starts it the way the entry says: the quoted path with its space is one program.
exec_program="$(sed -n 's/^Exec=//p' "$entry")"
eval "set -- $exec_program"
e2e_expect_eq "$#" 1 "words of the entry's command"
e2e_expect_eq "$1" "$app" "the program the entry starts"

kill -TERM "$xs_app_pid"
stopped() { ! xs_alive "$xs_app_pid"; }
xs_wait_for 15 stopped || e2e_fail "Marrowick did not quit"
rm -f "$entry"
odd="$xs_dir/bin-"$'\xff\xfe'
mkdir -p "$odd"
cp "$e2e_app" "$odd/marrowick"
e2e_launch "$odd/marrowick" --settings
xs_wait_for 15 settings_window || e2e_fail "no settings window from the folder that is not UTF-8"
win="$(settings_window)"
read -r x y w h < <(xs_frame_geometry "$win")
xdotool mousemove "$((x + 34))" "$((y + h - 32))" click 1
xs_wait_log 'start at login failed: an autostart entry cannot start' 10 ||
  e2e_fail "ticking 'Start at login' from a folder that is not UTF-8 did not fail with a reason"
[ -z "$(find "$xs_dir/config/autostart" -name '*.desktop')" ] || e2e_fail "an autostart entry was written"
xs_log_has 'start at login: 1' && e2e_fail "start at login was logged as done"
e2e_pass
