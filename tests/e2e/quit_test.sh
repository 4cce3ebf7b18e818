#!/usr/bin/env bash
# A change made just before Marrowick is ended is on disk afterwards, though the write it had put
# off (0.5 s) never came: for SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, Ctrl-C), each
# ending it through its normal quit, and for the X server going away. The change: the right
# monitor cut into two sections through the settings window's keyboard, sent the moment its
# outlines show.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
settings="$xs_dir/config/marrowick/settings.json"

settings_window() {
  local id
  for id in $(xdotool search --name '^Marrowick Settings$' 2>/dev/null); do
    xs_managed "$id" && echo "$id" && return 0
  done
  return 1
}
# The right monitor's two tiles, as the root rectangles of Marrowick's shown outline windows.
outlined() {
  local shown id
  shown="$(for id in $(xdotool search --onlyvisible --pid "$xs_app_pid" 2>/dev/null); do
    xwininfo -id "$id" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
      /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
  done)"
  grep -qx "3440 0 960 1080" <<<"$shown" && grep -qx "4400 0 960 1080" <<<"$shown"
}
stored() { [ -f "$settings" ] && tr -d ' \n' <"$settings" | grep -q '"displayDividers":{"RIGHT":\[0.5\]'; }
gone() { ! xs_alive "$xs_app_pid"; }

# Starts Marrowick with its settings window and a fresh store, and makes the change.
change() {
  rm -f "$settings"
  e2e_launch "$e2e_app" --settings
  xs_wait_for 15 settings_window || e2e_fail "$1: no settings window"
  local win
  win="$(settings_window)"
  # Focus starts on the monitor list: Down picks the right monitor, Tab reaches the section
  # picker on "Off", Right moves it to "2".
  xdotool key --window "$win" Down Tab Right
  xs_wait_for 10 outlined || e2e_fail "$1: the right monitor's two sections were not outlined"
}

for signal in TERM INT HUP; do
  change "SIG$signal"
  kill "-$signal" "$xs_app_pid"
  xs_wait_for 15 gone || e2e_fail "SIG$signal did not end Marrowick"
  wait "$xs_app_pid"
  e2e_expect_eq "$?" 0 "exit status after SIG$signal"
  stored || e2e_fail "after SIG$signal the settings file holds no RIGHT divider 0.5: $(cat "$settings" 2>&1)"
  xs_log_has "quitting on signal" || e2e_fail "SIG$signal: no quit in the log"
done

# Last: the desktop does not come back.
change "the X server's end"
server="$(awk '$1 == "xvfb" { print $2 }' "$xs_dir/desktop.out")"
[ -n "$server" ] || e2e_fail "the desktop did not say which process is its X server"
kill -KILL "$server"
xs_wait_for 15 gone || e2e_fail "Marrowick outlived its X server"
stored || e2e_fail "after the X server's end the settings file holds no RIGHT divider 0.5: $(cat "$settings" 2>&1)"
e2e_pass
