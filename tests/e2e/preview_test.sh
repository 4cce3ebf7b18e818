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
mapfile -t background < <(xs_screen_pixels "${points[@]}" "$untiled")

now=()
# True when, read from the screen now, every point differs from the desktop ($1 = shown) or every
# point is the desktop again ($1 = hidden).
screen_is() {
  mapfile -t now < <(xs_screen_pixels "${points[@]}" "$untiled")
  local i
  for i in "${!points[@]}"; do
    if [ "$1" = shown ]; then
      [ "${now[i]}" != "${background[i]}" ] || return 1
    else
      [ "${now[i]}" = "${background[i]}" ] || return 1
    fi
  done
}

describe() { echo "desktop: ${background[*]}; last read: ${now[*]}"; }

xs_start_marrowick "$e2e_app" --preview
xs_wait_for 30 screen_is shown || e2e_fail "with --preview not every tile was outlined ($(describe))"
seen="$(xd_now)"
e2e_expect_eq "${now[3]}" "${background[3]}" "pixel $untiled of the monitor without tiles during the preview"
# The outlines last 3 s from when they showed, which was before they were seen; a moment more is
# allowed for the event loop and the compositor.
moment=0.5
xd_wait_until $((seen + $(xd_micros 3) + $(xd_micros $moment))) screen_is hidden ||
  e2e_fail "the preview outlines were still on screen ${moment} s after their 3 s ($(describe))"
echo "preview seen for $((($(xd_now) - seen) / 1000)) ms"
xs_alive "$xs_app_pid" || e2e_fail "marrowick exited after the preview"
xs_wait_log 'watching drags' 10 || e2e_fail "launch with --preview did not log 'watching drags'"
e2e_pass
