#!/usr/bin/env bash
# Marrowick's CPU time during a 1,000-event divider-handle drag on a virtual desktop of its own:
# an xterm snapped into the ultrawide's first column, Alt held until the overlay shows, then
# the first handle dragged with 1,000 XTest motions of 2 points (400 right, back, and again).
# Usage: bench/overlay_drag_cpu.sh build/src/app/marrowick
# HANDLE_EVENTS (default 1000) sets the number of motions; CI runs it with a few.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/../tests/e2e/session.sh"
e2e_begin "$@"
e2e_launch "$e2e_app"
xs_start_xterm sample-1 80x24+200+200 || e2e_fail "no xterm"
read -r sx sy < <(xs_title_bar_point "$xs_window")
xs_alt_drag "$sx" "$sy" 500 720 24
xs_wait_log 'snapped to' 10 || e2e_fail "the xterm was not snapped"

ticks() { awk '{ print $14 + $15 }' "/proc/$xs_app_pid/stat"; }
settled() {  # waits until Marrowick's CPU time stops growing
  local prev=-1 now
  now="$(ticks)"
  while [ "$now" != "$prev" ]; do
    prev="$now"
    sleep 0.5
    now="$(ticks)"
  done
}
xdotool keydown alt
sleep 1
xdotool mousemove 1147 720 mousedown 1
settled
moves=()
events="${HANDLE_EVENTS:-1000}"
for ((i = 0; i < events; i++)); do
  if (((i / 200) % 2 == 0)); then moves+=(mousemove_relative -- 2 0); else moves+=(mousemove_relative -- -2 0); fi
done
before="$(ticks)"
xdotool "${moves[@]}"
settled
after="$(ticks)"
xdotool mouseup 1 keyup alt
hz="$(getconf CLK_TCK)"
echo "CPU time of Marrowick for $events handle-drag events: $(((after - before) * 1000 / hz)) ms (user + system, ${hz} Hz ticks)"
echo "xterm frame after the drag (x y w h): $(xs_frame_geometry "$xs_window")"
e2e_pass
