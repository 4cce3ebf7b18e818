#!/usr/bin/env bash
# What a drag costs on a real X desktop: starts a virtual desktop of its own (tests/e2e/session.sh:
# Xvfb with two monitors, openbox, xcompmgr) with an xterm and Marrowick, then drags the xterm by
# its title bar with XTest motion at a steady rate (build/bench/marrowick_x11_drag_driver) across
# the ultrawide's three columns and back (four tile crossings), and prints per run Marrowick's CPU
# seconds per 1,000 motion events, the X server's, the outline's delay after the pointer enters
# a tile, the time from release to the window's final frame, and Marrowick's resident memory.
#
#   bench/x11_drag.sh [path/to/marrowick]     (default build/src/app/marrowick)
#
# DRAG_EVENTS (default 2000) sets the motions per drag (CI runs it with a few), DRAG_DRIVER the
# driver's path, and
# DRAG_PROFILE=prefix records each drag with perf into prefix.<label> (DRAG_SYSCALLS=prefix
# counts its system calls instead). The CPU
# figures are wall-clock independent but not load independent: compare builds back to back.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
app="${1:-$here/build/src/app/marrowick}"
driver="${DRAG_DRIVER:-$here/build/bench/marrowick_x11_drag_driver}"
events="${DRAG_EVENTS:-2000}"
[ -x "$driver" ] || { echo "x11_drag: build the driver first (cmake --build build --target marrowick_x11_drag_driver)" >&2; exit 2; }
# shellcheck source=tests/e2e/session.sh
source "$here/tests/e2e/session.sh"
e2e_begin "$app"

server_pid="$(xs_server_pid)"
[ -n "$server_pid" ] || e2e_fail "the desktop did not say which process is its X server"

xs_start_xterm sample-1 80x24+200+200 || e2e_fail "no xterm"
term="$xs_window"

rss_mb() { awk '/^VmRSS:/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }
snaps() { grep -c 'snapped to' "$xs_app_log" 2>/dev/null || true; }
more_snaps_than() { [ "$(snaps)" -gt "$1" ]; }

# The ultrawide's default three columns, by their root x edges; the path runs at y 400, clear of
# the top edge band.
edges="0,1147,2293,3440"
y=400

# drag LABEL alt|plain RATE: one drag of $events motions, printed under LABEL.
drag() {
  local label="$1" keys="$2" rate="$3" sx sy before
  read -r sx sy < <(xs_title_bar_point "$term")
  before="$(snaps)"
  [ "$keys" = alt ] && xdotool keydown alt
  xdotool mousemove "$sx" "$sy"
  sleep 0.2
  echo "== $label"
  local perf_pid=""
  if [ -n "${DRAG_PROFILE:-}" ]; then
    perf record -q -g -F 4000 -p "$xs_app_pid" -o "$DRAG_PROFILE.${label// /_}" 2>/dev/null &
    perf_pid=$!
    sleep 0.3
  elif [ -n "${DRAG_SYSCALLS:-}" ]; then
    perf stat -e 'syscalls:sys_enter_poll,syscalls:sys_enter_ppoll,syscalls:sys_enter_recvmsg,syscalls:sys_enter_writev,syscalls:sys_enter_read,syscalls:sys_enter_write' \
      -p "$xs_app_pid" -o "$DRAG_SYSCALLS.${label// /_}" 2>/dev/null &
    perf_pid=$!
    sleep 0.3
  fi
  "$driver" --events "$events" --rate "$rate" --via "573,$y" --via "2866,$y" --via "573,$y" \
    --pid "$xs_app_pid" --server-pid "$server_pid" --window "$term" --tile-edges "$edges" | sed 's/^/   /' ||
    e2e_fail "the drag driver failed"
  if [ -n "$perf_pid" ]; then
    kill -INT "$perf_pid"
    wait "$perf_pid"
  fi
  [ "$keys" = alt ] && xdotool keyup alt
  if [ "$keys" = alt ]; then
    xs_wait_for 5 more_snaps_than "$before" || echo "   (no snap logged)"
  fi
  sleep 1
  echo "   marrowick resident memory after: $(rss_mb "$xs_app_pid") MB"
}

echo "marrowick: $app"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
e2e_launch "$app"
sleep 1
echo "marrowick resident memory at start: $(rss_mb "$xs_app_pid") MB"
cpu_ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
idle0="$(cpu_ticks "$xs_app_pid")"
sleep 5
echo "marrowick idle: $(awk -v a="$idle0" -v b="$(cpu_ticks "$xs_app_pid")" -v hz="$(getconf CLK_TCK)" \
  'BEGIN { printf "%.1f", 100 * (b - a) / hz / 5 }') % of a core over 5 s"
drag "Alt-drag at 500 Hz" alt 500
drag "Alt-drag at 1000 Hz" alt 1000
drag "drag without Alt at 500 Hz" plain 500
drag "drag without Alt at 1000 Hz" plain 1000

# Every tile of both monitors outlined: the other monitor gets two columns of its own.
kill -TERM "$xs_app_pid"
xs_wait_for 10 eval '! xs_alive "$xs_app_pid"'
mkdir -p "$xs_dir/config/marrowick"
echo '{ "displayDividers": { "RIGHT": [0.5] } }' >"$xs_dir/config/marrowick/settings.json"
e2e_launch "$app" --preview
sleep 1
echo "== --preview, five tiles on two monitors"
echo "   marrowick resident memory while shown: $(rss_mb "$xs_app_pid") MB"
sleep 3.5
echo "   marrowick resident memory after they hide: $(rss_mb "$xs_app_pid") MB"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
e2e_pass
