#!/usr/bin/env bash
# A first start on two ordinary monitors, neither of which has sections: the settings window opens
# by itself, once, and the terminal says why. Once a monitor has sections (given in that window), the next start opens
# nothing.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"

# Two ordinary 1920 x 1080 monitors side by side instead of the ultrawide and its neighbour.
xrandr --delmonitor LEFT >/dev/null && xrandr --delmonitor RIGHT >/dev/null &&
  xrandr --setmonitor "*ONE" 1920/508x1080/286+0+0 screen >/dev/null &&
  xrandr --setmonitor TWO 1920/508x1080/286+1920+0 none >/dev/null ||
  e2e_fail "could not make two ordinary monitors: $(xrandr --listmonitors)"
xs_wait_for 5 xs_two_monitors || e2e_fail "not two monitors: $(xrandr --listmonitors)"

# The managed windows titled as the settings window, one id a line.
settings_windows() {
  local id
  for id in $(xdotool search --name '^Marrowick( Settings)?$' 2>/dev/null); do
    xs_managed "$id" && echo "$id"
  done
}
settings_shown() { [ -n "$(settings_windows)" ]; }

e2e_launch "$e2e_app"
xs_wait_for 15 settings_shown || e2e_fail "the first start opened no settings window"
e2e_expect_eq "$(settings_windows | wc -l)" 1 "settings windows open"
e2e_expect_eq "$(grep -c 'no monitor has sections yet; opening the settings window' "$xs_app_log")" 1 \
  "times the first start said it opens the settings window"
# Said on the terminal too, for whoever started it from one.
grep -q '^marrowick: no monitor has sections yet; opening the settings window$' "$xs_dir/marrowick.out" ||
  e2e_fail "the terminal was not told: $(cat "$xs_dir/marrowick.out")"
win="$(settings_windows)"

# Through its keyboard the first monitor gets two sections: the monitor list has the focus; Tab
# reaches the section picker on "Off", Right picks "2".
xdotool key --window "$win" Tab
xdotool key --window "$win" Right
stored() { tr -d ' \n' <"$xs_dir/config/marrowick/settings.json" | grep -q '"displayDividers":{"ONE":\[0.5\]'; }
xs_wait_for 10 stored || e2e_fail "no sections stored for the first monitor: $(cat "$xs_dir/config/marrowick/settings.json")"

kill -TERM "$xs_app_pid"
stopped() { ! xs_alive "$xs_app_pid"; }
xs_wait_for 15 stopped || e2e_fail "Marrowick did not quit"
settings_shown && e2e_fail "the settings window stayed after Marrowick quit"

# The first run's log goes, so that the wait is for the second run's own lines.
rm -f "$xs_app_log"
e2e_launch "$e2e_app"
xs_log_has 'no monitor has sections' &&
  e2e_fail "the second start said no monitor has sections: $(cat "$xs_app_log"; cat "$xs_dir/config/marrowick/settings.json")"
xs_wait_for 3 settings_shown && e2e_fail "the second start opened the settings window, though a monitor has sections"
e2e_pass
