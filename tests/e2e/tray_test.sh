#!/usr/bin/env bash
# The tray icon, docked by an XEmbed tray (trayer) that starts after Marrowick: it reads on a black
# panel and on a white one (a good share of its pixels stand apart from the panel behind it), a
# click on it opens the settings window, and a tray that came within a few seconds is not reported
# missing.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
command -v trayer >/dev/null || e2e_fail "trayer is not installed (scripts/deps installs it)"

# A panel 64 x 32 at the top right of the primary monitor, in one flat colour ($1, 0xRRGGBB).
panel=(3376 0 64 32)
tray_pid=""
start_tray() {
  trayer --edge top --align right --widthtype pixel --width "${panel[2]}" --heighttype pixel \
    --height "${panel[3]}" --transparent true --alpha 0 --tint "$1" --expand false \
    >>"$xs_dir/trayer.log" 2>&1 </dev/null &
  tray_pid=$!
  xs_track "$tray_pid"
}

# The icon: Marrowick's window shown inside the panel, as "x y width height".
icon=""
icon_docked() {
  local w x y width height
  for w in $(xdotool search --onlyvisible --pid "$xs_app_pid" 2>/dev/null); do
    read -r x y width height < <(xwininfo -id "$w" 2>/dev/null | awk '
      /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
      /^ *Width:/ { w = $NF } /^ *Height:/ { print x, y, w, $NF }')
    if [ -n "$height" ] && ((x >= panel[0] && y >= panel[1] && x + width <= panel[0] + panel[2] &&
      y + height <= panel[1] + panel[3])); then
      icon="$x $y $width $height"
      return 0
    fi
  done
  return 1
}

# True when at least a sixth of the icon's pixels stand apart from the panel colour $1 ("r,g,b"):
# their channels differ from it by 192 or more in all.
apart=0
icon_reads_on() {
  local x y width height i j points=() r g b pr pg pb
  read -r x y width height <<<"$icon"
  for ((j = 0; j < height; j++)); do
    for ((i = 0; i < width; i++)); do points+=("$((x + i)) $((y + j))"); done
  done
  IFS=, read -r pr pg pb <<<"$1"
  apart=0
  while IFS=, read -r r g b; do
    (((r > pr ? r - pr : pr - r) + (g > pg ? g - pg : pg - g) + (b > pb ? b - pb : pb - b) >= 192)) &&
      apart=$((apart + 1))
  done < <(xs_screen_pixels "${points[@]}")
  ((apart * 6 >= width * height))
}

e2e_launch "$e2e_app"
start_tray 0x000000
xs_wait_for 15 icon_docked || e2e_fail "the icon did not dock in the tray: $(cat "$xs_dir/trayer.log")"
xs_wait_for 10 icon_reads_on 0,0,0 ||
  e2e_fail "on a black panel only $apart pixels of the icon ($icon) stand apart from black"
echo "black panel: $apart pixels of the icon ($icon) stand apart"

# Its click opens the settings window.
settings_window() {
  local id
  for id in $(xdotool search --name '^Marrowick( Settings)?$' 2>/dev/null); do
    xs_managed "$id" && echo "$id" && return 0
  done
  return 1
}
settings_window && e2e_fail "a settings window is open before the click"
read -r x y width height <<<"$icon"
xdotool mousemove "$((x + width / 2))" "$((y + height / 2))" click 1
xs_wait_for 15 settings_window || e2e_fail "a click on the tray icon opened no settings window"

# The tray came a moment after Marrowick: nothing says it is missing once Marrowick stopped waiting.
xs_wait_for 7 xs_log_has 'no system tray available' && e2e_fail "a tray that came in time was reported missing"

kill -TERM "$tray_pid"
icon_gone() { ! icon_docked; }
xs_wait_for 10 icon_gone || e2e_fail "the icon stayed after the tray went"
start_tray 0xffffff
xs_wait_for 15 icon_docked || e2e_fail "the icon did not dock in a tray started again"
xs_wait_for 10 icon_reads_on 255,255,255 ||
  e2e_fail "on a white panel only $apart pixels of the icon ($icon) stand apart from white"
echo "white panel: $apart pixels of the icon ($icon) stand apart"
e2e_pass
