# shellcheck shell=bash disable=SC2034  # the xs_ variables are read by the scripts that source this
# Sourced by scripts/run and tests/e2e: a throwaway X desktop of its own (scripts/x-desktop: Xvfb
# with two monitors side by side, openbox, xcompmgr), sample windows, Marrowick started on it, and
# the input and screenshot helpers that drive it. Everything started here is recorded and xs_stop
# ends it.
#
#   xs_start_xvfb || skip           # 1 when no virtual X server can start
#   xs_start_desktop                # monitors, window manager, compositor
#   xs_start_client sample-1 xterm  # sets xs_window
#   xs_start_marrowick path/to/marrowick [args]; xs_wait_log 'watching drags' 20
#   trap xs_stop EXIT

xs_scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=scripts/x-desktop
source "$xs_scripts/x-desktop"

# The two monitors: one ultrawide, primary, holding the output; one ordinary to its right.
# Root coordinates: x y width height.
xs_left=("${xd_left[@]}")
xs_right=("${xd_right[@]}")

xs_dir=""        # this session's temporary folder
xs_desktop_pid="" # scripts/x-desktop, which owns the server, openbox and xcompmgr
xs_pids=()       # every process started, in order
xs_window=""     # the client window of the last xs_start_client
xs_app_pid=""    # the last Marrowick started
xs_app_log=""    # its activity log

xs_say() { echo "x-session: $*" >&2; }

# Polls a command until it succeeds, for at most $1 seconds of wall time (fractions allowed);
# returns its last status, tried once more after the time is up.
xs_wait_for() { xd_wait_for "$@"; }

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
    # The desktop stops its server, openbox and xcompmgr itself.
    [ "$pid" = "$xs_desktop_pid" ] && tries=150
    while xs_alive "$pid" && ((tries-- > 0)); do sleep 0.1; done
    if xs_alive "$pid"; then kill -KILL "$pid" 2>/dev/null || true; fi
    wait "$pid" 2>/dev/null || true
  done
  xs_pids=()
  xs_desktop_pid=""
  if [ -n "$xs_dir" ] && [ -z "${XS_KEEP_DIR:-}" ]; then
    rm -rf "$xs_dir" || xs_say "could not remove $xs_dir"
  fi
  xs_dir=""
}

xs_desktop_said() { grep -q "^$1" "$xs_dir/desktop.out"; }
# The X server's pid, as the desktop reported it.
xs_server_pid() { awk '$1 == "xvfb" { print $2 }' "$xs_dir/desktop.out"; }
xs_desktop_says() { xs_desktop_said "$1" || ! xs_alive "$xs_desktop_pid"; }

# Starts the desktop (scripts/x-desktop) and waits until its server answers; exports DISPLAY.
# Returns 1 when no virtual X server can start.
xs_start_xvfb() {
  xs_make_dir
  "$xs_scripts/x-desktop" --dir "$xs_dir/desktop" >"$xs_dir/desktop.out" 2>"$xs_dir/desktop.err" </dev/null &
  xs_desktop_pid=$!
  xs_track "$xs_desktop_pid"
  if ! xs_wait_for 60 xs_desktop_says display || ! xs_desktop_said display; then
    xs_say "no virtual X server:"
    sed 's/^/  /' "$xs_dir/desktop.err" >&2
    return 1
  fi
  DISPLAY="$(awk '$1 == "display" { print $2 }' "$xs_dir/desktop.out")"
  export DISPLAY
}

# Waits until the desktop is up: the two monitors, openbox and xcompmgr.
xs_start_desktop() {
  if ! xs_wait_for 60 xs_desktop_says ready || ! xs_desktop_said ready; then
    xs_say "the desktop did not come up:"
    sed 's/^/  /' "$xs_dir/desktop.err" >&2
    return 1
  fi
}

xs_monitor_count() { xd_monitor_count; }
xs_two_monitors() { xd_two_monitors; }
xs_wm_ready() { xd_wm_ready; }
xs_cm_ready() { xd_cm_ready; }
# Sets the two monitors again (after a test removed one).
xs_set_monitors() { xd_set_monitors; }

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

# The top-level window (a window manager's frame) under the pointer, empty over the desktop.
xs_frame_under_pointer() {
  xdotool getmouselocation --shell 2>/dev/null |
    awk -F= -v root="$(xwininfo -root | awk '/Window id:/ { print $4 }')" '
      $1 == "WINDOW" && sprintf("0x%x", $2) != root { print $2 }'
}

# The root origin of top-level window $1: "x y".
xs_origin() { xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { print x, $NF }'; }

# True when top-level window $1 has its origin at ($2, $3), give or take openbox's resistance at
# monitor edges.
xs_origin_near() {
  local x y
  read -r x y < <(xs_origin "$1") || return 1
  ((x - $2 <= 20 && $2 - x <= 20 && y - $3 <= 20 && $3 - y <= 20))
}

# Waits until openbox has moved top-level window $1 to origin ($2, $3) during a drag, for at most
# 10 s. openbox begins a move at the first motion and moves the window at the motions after its
# grab; one that comes before is lost, so the pointer is nudged by a pixel and back until the
# window follows.
xs_follow() {
  local deadline=$(($(xd_now) + 10000000))
  until xs_wait_for 0.3 xs_origin_near "$@"; do
    (($(xd_now) < deadline)) || return 1
    xdotool mousemove_relative -- 1 0 mousemove_relative -- -1 0
  done
}

# True when a window of the last Marrowick started is on screen over root point ($1, $2): an
# outline, whatever its style.
xs_outline_over() {
  local w x y width height
  for w in $(xdotool search --onlyvisible --pid "$xs_app_pid" 2>/dev/null); do
    read -r x y width height < <(xwininfo -id "$w" 2>/dev/null | awk '
      /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
      /^ *Width:/ { w = $NF } /^ *Height:/ { print x, y, w, $NF }')
    if [ -n "$height" ] && (($1 >= x && $1 < x + width && $2 >= y && $2 < y + height)); then return 0; fi
  done
  return 1
}

# Drags from root point ($1, $2) to ($3, $4) with the left button and Alt held. The pointer is
# only warped to the start; the way there is XTest relative motion in $5 steps (default 24),
# because a warp produces no raw motion and Marrowick would not see the drag. Each step waits
# until the window manager has moved the window under the start point along (xs_follow), so
# Marrowick always finds that window under the pointer, and the release waits for the last step. $6, when given,
# is a command run while the button is still down at the end point: to wait for an outline, say
# 'xs_wait_for 10 xs_outline_over X Y' (a release before Marrowick has followed the drag would
# not snap).
xs_alt_drag() {
  local x0="$1" y0="$2" x1="$3" y1="$4" steps="${5:-24}" during="${6:-}"
  local frame ox="" oy="" following=1
  xdotool mousemove "$x0" "$y0"
  frame="$(xs_frame_under_pointer)"
  if [ -n "$frame" ]; then read -r ox oy < <(xs_origin "$frame"); fi
  xdotool keydown alt
  xdotool mousedown 1
  local i dx dy px=0 py=0 nx ny
  for ((i = 1; i <= steps; i++)); do
    nx=$(((x1 - x0) * i / steps))
    ny=$(((y1 - y0) * i / steps))
    dx=$((nx - px))
    dy=$((ny - py))
    px=$nx
    py=$ny
    xdotool mousemove_relative -- "$dx" "$dy"
    if [ -n "$ox" ] && [ -n "$following" ] && ! xs_follow "$frame" $((ox + px)) $((oy + py)); then
      xs_say "the window manager did not follow the drag to ($((x0 + px)), $((y0 + py)))"
      following=""
    fi
  done
  # Pointer acceleration or a screen edge may leave it short: close the rest the same way.
  local cx cy
  read -r cx cy < <(xs_pointer)
  if [ "$cx" != "$x1" ] || [ "$cy" != "$y1" ]; then
    xdotool mousemove_relative -- "$((x1 - cx))" "$((y1 - cy))"
    if [ -n "$ox" ] && [ -n "$following" ]; then
      xs_follow "$frame" $((ox + x1 - x0)) $((oy + y1 - y0)) || xs_say "the window manager fell behind"
    fi
  fi
  [ -n "$during" ] && eval "$during"
  # The server keeps the order: Marrowick and openbox see the release before Alt goes up.
  xdotool mouseup 1
  xdotool keyup alt
}

# A picture of the whole root window: X's own dump for a name ending in .xwd (fast, for tests
# that poll), else whatever ImageMagick makes of the name (PNG for people).
# With translucent windows on screen the dump reads window by window, and one that goes away
# meanwhile fails it (BadMatch): try again, for at most 20 s.
xs_screenshot_once() {
  case "$1" in
    *.xwd) xwd -root -silent -out "$1" ;;
    *) import -window root "$1" ;;
  esac
}
xs_screenshot() { xs_wait_for 20 xs_screenshot_once "$1"; }

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

# The colours on screen now at the points given as "x y" arguments, one "r,g,b" line each: read
# by tests/e2e's screen_pixels when $MARROWICK_SCREEN_PIXELS names it (milliseconds), else
# through a screenshot (seconds on a loaded machine).
xs_screen_pixels() {
  if [ -x "${MARROWICK_SCREEN_PIXELS:-}" ]; then
    "$MARROWICK_SCREEN_PIXELS" "$@"
  else
    xs_screenshot "$xs_dir/screen.xwd" && xs_pixels "$xs_dir/screen.xwd" "$@"
  fi
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
# pid. This desktop is an X11 session even when the caller sits in a Wayland one; its monitors
# are at 1× unless a test sets Xft.dpi (xrdb) or Qt's scale variables.
xs_marrowick_env() {
  mkdir -p "$xs_dir/config" "$xs_dir/state" "$xs_dir/runtime"
  chmod 700 "$xs_dir/runtime"
  exec env -u WAYLAND_DISPLAY XDG_SESSION_TYPE=x11 \
    XDG_CONFIG_HOME="$xs_dir/config" XDG_STATE_HOME="$xs_dir/state" XDG_RUNTIME_DIR="$xs_dir/runtime" \
    QT_QPA_PLATFORM=xcb "$@"
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
