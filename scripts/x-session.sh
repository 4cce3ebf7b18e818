# shellcheck shell=bash disable=SC2034  # the xs_ variables are read by the scripts that source this
# Sourced by scripts/run and tests/e2e: a throwaway X desktop of its own (Xvfb with two monitors
# side by side, openbox, xcompmgr, sample windows), Marrowick started on it, and the input and
# screenshot helpers that drive it. Everything started here is recorded and xs_stop ends it.
#
#   xs_start_xvfb || skip           # 1 when no virtual X server can start
#   xs_start_desktop                # monitors, window manager, compositor
#   xs_start_client sample-1 xterm  # sets xs_window
#   xs_start_marrowick path/to/marrowick [args]; xs_wait_log 'watching drags' 20
#   trap xs_stop EXIT

# The two monitors: one ultrawide, primary, holding the output; one ordinary to its right.
# Root coordinates: x y width height.
xs_left=(0 0 3440 1440)
xs_right=(3440 0 1920 1080)

xs_dir=""        # this session's temporary folder
xs_pids=()       # every process started, in order
xs_window=""     # the client window of the last xs_start_client
xs_app_pid=""    # the last Marrowick started
xs_app_log=""    # its activity log

xs_say() { echo "x-session: $*" >&2; }

# Polls a command every 0.1 s until it succeeds, for at most $1 seconds of wall time; returns
# its last status.
xs_wait_for() {
  local seconds="$1"
  shift
  local deadline=$((${EPOCHREALTIME/./} + seconds * 1000000))
  while ((${EPOCHREALTIME/./} < deadline)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  "$@" >/dev/null 2>&1
}

xs_alive() { kill -0 "$1" 2>/dev/null; }

xs_track() { xs_pids+=("$1"); }

xs_make_dir() {
  [ -n "$xs_dir" ] && return 0
  xs_dir="$(mktemp -d "${TMPDIR:-/tmp}/marrowick-x.XXXXXX")"
}

# Ends everything this session started, newest first, then removes the temporary folder unless
# XS_KEEP_DIR is set. Safe to call twice, and under set -e (a killed process's status is not a
# failure here).
xs_stop() {
  local i pid tries
  for ((i = ${#xs_pids[@]} - 1; i >= 0; i--)); do
    pid="${xs_pids[i]}"
    if xs_alive "$pid"; then kill -TERM "$pid" 2>/dev/null || true; fi
  done
  for pid in "${xs_pids[@]}"; do
    tries=30
    while xs_alive "$pid" && ((tries-- > 0)); do sleep 0.1; done
    if xs_alive "$pid"; then kill -KILL "$pid" 2>/dev/null || true; fi
    wait "$pid" 2>/dev/null || true
  done
  xs_pids=()
  if [ -n "$xs_dir" ] && [ -z "${XS_KEEP_DIR:-}" ]; then
    rm -rf "$xs_dir" || xs_say "could not remove $xs_dir"
  fi
  xs_dir=""
}

xs_display_file_ready() { [ -s "$xs_dir/display" ]; }

# Starts Xvfb on a display number it picks itself (free at that moment, so parallel sessions do
# not collide), sized to hold both monitors. -noreset: otherwise it resets when its last client
# leaves and forgets the monitors. Exports DISPLAY. Returns 1 when Xvfb cannot start.
xs_start_xvfb() {
  command -v Xvfb >/dev/null || { xs_say "Xvfb is not installed"; return 1; }
  xs_make_dir
  local w=$((xs_right[0] + xs_right[2])) h="${xs_left[3]}"
  Xvfb -displayfd 3 -screen 0 "${w}x${h}x24" -noreset -nolisten tcp \
    3>"$xs_dir/display" >"$xs_dir/xvfb.log" 2>&1 </dev/null &
  local pid=$!
  xs_track "$pid"
  if ! xs_wait_for 15 xs_display_file_ready || ! xs_alive "$pid"; then
    xs_say "Xvfb did not start:"
    sed 's/^/  /' "$xs_dir/xvfb.log" >&2
    return 1
  fi
  DISPLAY=":$(head -n1 "$xs_dir/display")"
  export DISPLAY
  if ! xs_wait_for 10 xwininfo -root; then
    xs_say "Xvfb started but $DISPLAY does not answer"
    return 1
  fi
}

xs_monitor_count() { xrandr --listmonitors | awk 'NR == 1 { print $2 }'; }
xs_two_monitors() { [ "$(xs_monitor_count)" = 2 ]; }
xs_wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
# xcompmgr names the window that owns _NET_WM_CM_S0 after itself.
xs_cm_ready() { xwininfo -root -children | grep -q '"xcompmgr"'; }

# The two monitors as RandR 1.5 monitors. The output goes to LEFT, else a third, automatic
# monitor stays; "*" makes LEFT primary. Sizes in millimetres give about 96 dpi.
xs_set_monitors() {
  if xrandr --setmonitor "*LEFT" "${xs_left[2]}/910x${xs_left[3]}/381+${xs_left[0]}+${xs_left[1]}" screen >/dev/null &&
    xrandr --setmonitor RIGHT "${xs_right[2]}/508x${xs_right[3]}/286+${xs_right[0]}+${xs_right[1]}" none >/dev/null &&
    xs_wait_for 5 xs_two_monitors; then
    return 0
  fi
  xs_say "could not set the monitors"
  xrandr --listmonitors >&2
  return 1
}

# Monitors, openbox with its stock configuration (a private config folder, so the user's own
# openbox settings cannot change how drags behave), and xcompmgr for translucent outlines.
xs_start_desktop() {
  xs_set_monitors || return 1
  mkdir -p "$xs_dir/openbox-config"
  XDG_CONFIG_HOME="$xs_dir/openbox-config" openbox >"$xs_dir/openbox.log" 2>&1 </dev/null &
  xs_track $!
  xs_wait_for 10 xs_wm_ready || { xs_say "openbox did not start"; cat "$xs_dir/openbox.log" >&2; return 1; }
  xcompmgr >"$xs_dir/xcompmgr.log" 2>&1 </dev/null &
  xs_track $!
  xs_wait_for 10 xs_cm_ready || { xs_say "xcompmgr did not start"; cat "$xs_dir/xcompmgr.log" >&2; return 1; }
}

xs_find_window() { xdotool search --name "^$1\$" 2>/dev/null | head -n1; }
xs_managed() {
  xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' &&
    xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='
}
xs_window_ready() {
  local w
  w="$(xs_find_window "$1")"
  [ -n "$w" ] && xs_managed "$w"
}

# Starts a sample client titled $1 (the rest is its command line; it must accept -title) and
# waits until openbox has framed and mapped it; sets xs_window to its client window.
xs_start_client() {
  local title="$1"
  shift
  "$@" -title "$title" >>"$xs_dir/clients.log" 2>&1 </dev/null &
  xs_track $!
  if ! xs_wait_for 15 xs_window_ready "$title"; then
    xs_say "window $title did not appear"
    cat "$xs_dir/clients.log" >&2
    return 1
  fi
  xs_window="$(xs_find_window "$title")"
}

# An xterm titled $1 at the X geometry $2; the title stays fixed whatever the shell prints.
xs_start_xterm() {
  xs_start_client "$1" xterm -geometry "$2" -xrm 'XTerm*allowTitleOps: false' \
    -xrm 'XTerm*background: white' -xrm 'XTerm*foreground: black'
}

# The frame openbox drew around client window $1, in root coordinates: "x y width height".
# (xdotool getwindowgeometry counts the frame offset twice under reparenting managers.)
xs_frame_geometry() {
  local info extents
  info="$(xwininfo -id "$1")" || return 1
  extents="$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= *//; s/,//g')" || return 1
  local left right top bottom
  read -r left right top bottom <<<"$extents"
  awk -v l="$left" -v r="$right" -v t="$top" -v b="$bottom" '
    /Absolute upper-left X/ { x = $NF }
    /Absolute upper-left Y/ { y = $NF }
    /^ *Width:/ { w = $NF }
    /^ *Height:/ { h = $NF }
    END { print x - l, y - t, w + l + r, h + t + b }' <<<"$info"
}

# The top edge of the frame (the title bar) of client window $1: "x y" at its middle.
xs_title_bar_point() {
  local x y w h top
  read -r x y w h < <(xs_frame_geometry "$1")
  top="$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= *//; s/,//g' | awk '{ print $3 }')"
  echo "$((x + w / 2)) $((y + top / 2))"
}

# The resize increments of client window $1 ("width height"; "1 1" when it sets none).
xs_resize_increments() {
  xprop -id "$1" WM_NORMAL_HINTS |
    awk '/resize increment/ { print $(NF - 2), $NF; found = 1 } END { if (!found) print 1, 1 }'
}

xs_pointer() { xdotool getmouselocation | sed 's/x:\([0-9-]*\) y:\([0-9-]*\).*/\1 \2/'; }

# Drags from root point ($1, $2) to ($3, $4) with the left button and Alt held. The pointer is
# only warped to the start; the way there is XTest relative motion in $5 steps (default 24),
# because a warp produces no raw motion and Marrowick would not see the drag. $6, when given,
# is a command run while the button is still down at the end point.
xs_alt_drag() {
  local x0="$1" y0="$2" x1="$3" y1="$4" steps="${5:-24}" during="${6:-}"
  xdotool keydown alt
  xdotool mousemove "$x0" "$y0"
  sleep 0.1
  xdotool mousedown 1
  sleep 0.1
  local i dx dy px=0 py=0 nx ny
  for ((i = 1; i <= steps; i++)); do
    nx=$(((x1 - x0) * i / steps))
    ny=$(((y1 - y0) * i / steps))
    dx=$((nx - px))
    dy=$((ny - py))
    px=$nx
    py=$ny
    xdotool mousemove_relative -- "$dx" "$dy"
    sleep 0.03
  done
  # Pointer acceleration or a screen edge may leave it short: close the rest the same way.
  local cx cy
  read -r cx cy < <(xs_pointer)
  if [ "$cx" != "$x1" ] || [ "$cy" != "$y1" ]; then
    xdotool mousemove_relative -- "$((x1 - cx))" "$((y1 - cy))"
  fi
  sleep 0.3
  [ -n "$during" ] && eval "$during"
  xdotool mouseup 1
  sleep 0.05
  xdotool keyup alt
}

# A picture of the whole root window: X's own dump for a name ending in .xwd (fast, for tests
# that poll), else whatever ImageMagick makes of the name (PNG for people).
xs_screenshot() {
  case "$1" in
    *.xwd) xwd -root -silent -out "$1" ;;
    *) import -window root "$1" ;;
  esac
}

# The colours of picture $1 at the points given as "x y" arguments, one "r,g,b" line each.
xs_pixels() {
  local file="$1" format="" p x y c
  shift
  for p in "$@"; do
    read -r x y <<<"$p"
    for c in r g b; do
      format+="%[fx:int(255*p{$x,$y}.$c+0.5)]"
      [ "$c" = b ] && format+='\n' || format+=','
    done
  done
  convert "$file" -format "$format" info:
}

# The colour of one pixel of picture $1 at ($2, $3), as "r,g,b".
xs_pixel() { xs_pixels "$1" "$2 $3"; }

# Starts Marrowick ($1, then its arguments) on this display with its settings, log and socket in
# this session's folder, so the user's own settings and a running instance are untouched.
xs_start_marrowick() {
  xs_app_log="$xs_dir/state/Marrowick.log"
  xs_marrowick_env "$@" >>"$xs_dir/marrowick.out" 2>&1 </dev/null &
  xs_app_pid=$!
  xs_track "$xs_app_pid"
}

# Replaces the shell (call it in a subshell or in the background) with a command, Marrowick or
# timeout around it, in Marrowick's environment; in the background $! is then the command's own
# pid. Qt would scale screen sizes but not their origins on X11: one point is one pixel here.
# This desktop is an X11 session even when the caller sits in a Wayland one.
xs_marrowick_env() {
  mkdir -p "$xs_dir/config" "$xs_dir/state" "$xs_dir/runtime"
  chmod 700 "$xs_dir/runtime"
  exec env -u WAYLAND_DISPLAY XDG_SESSION_TYPE=x11 \
    XDG_CONFIG_HOME="$xs_dir/config" XDG_STATE_HOME="$xs_dir/state" XDG_RUNTIME_DIR="$xs_dir/runtime" \
    QT_ENABLE_HIGHDPI_SCALING=0 QT_QPA_PLATFORM=xcb "$@"
}

xs_log_has() { [ -f "$xs_app_log" ] && grep -q -- "$1" "$xs_app_log"; }

# Waits at most $2 seconds for a log line matching $1; reports the log and output if it never
# comes.
xs_wait_log() {
  xs_wait_for "$2" xs_log_has "$1" && return 0
  xs_say "no log line matching '$1' within $2 s"
  xs_say "log:"
  [ -f "$xs_app_log" ] && sed 's/^/  /' "$xs_app_log" >&2
  xs_say "output:"
  [ -f "$xs_dir/marrowick.out" ] && sed 's/^/  /' "$xs_dir/marrowick.out" >&2
  return 1
}
