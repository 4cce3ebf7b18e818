#!/usr/bin/env bash
# "--preview" outlines every tile of every monitor for a few seconds, then takes them away. By
# default only the ultrawide is cut into tiles (three columns); the other monitor has none.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
xs_start_xterm sample-1 80x24+200+200 || e2e_fail "no xterm"

# One point inside each of the ultrawide's three columns, clear of the xterm.
points=("573 1000" "1720 1000" "2866 1000")
untiled="4400 540"
xs_screenshot "$xs_dir/before.xwd"
mapfile -t background < <(xs_pixels "$xs_dir/before.xwd" "${points[@]}")

shot=0
last_shot=""
# True when, in a fresh screenshot, every point differs from the desktop ($1 = shown) or every
# point is the desktop again ($1 = hidden).
screen_is() {
  shot=$((shot + 1))
  last_shot="$xs_dir/shot-$shot.xwd"
  xs_screenshot "$last_shot" || return 1
  local now i
  mapfile -t now < <(xs_pixels "$last_shot" "${points[@]}")
  for i in "${!points[@]}"; do
    if [ "$1" = shown ]; then
      [ "${now[i]}" != "${background[i]}" ] || return 1
    else
      [ "${now[i]}" = "${background[i]}" ] || return 1
    fi
  done
}

describe() {
  echo "desktop: ${background[*]}; last screenshot: $(xs_pixels "$last_shot" "${points[@]}" | tr '\n' ' ')"
}

xs_start_marrowick "$e2e_app" --preview
sleep 1
xs_wait_for 10 screen_is shown || e2e_fail "with --preview not every tile was outlined ($(describe))"
e2e_expect_eq "$(xs_pixel "$last_shot" $untiled)" "$(xs_pixel "$xs_dir/before.xwd" $untiled)" \
  "pixel $untiled of the monitor without tiles during the preview"
sleep 3
xs_wait_for 10 screen_is hidden || e2e_fail "the preview outlines stayed on screen ($(describe))"
xs_alive "$xs_app_pid" || e2e_fail "marrowick exited after the preview"
xs_wait_log 'watching drags' 10 || e2e_fail "launch with --preview did not log 'watching drags'"
e2e_pass
