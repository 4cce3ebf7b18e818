#!/usr/bin/env bash
# In a Wayland session Marrowick says why it cannot work, on standard error, in its log and in a
# dialog where XWayland can show one, and exits with status 1 instead of idling in the tray.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
message="Marrowick works only in X11 sessions"
log="$xs_dir/state/Marrowick.log"

# No XWayland: nothing to show a dialog on.
(xs_marrowick_env env -u DISPLAY XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0 timeout 20 "$e2e_app") \
  >"$xs_dir/headless.out" 2>&1 </dev/null
e2e_expect_eq "$?" 1 "exit status without a display"
grep -q "^marrowick: $message" "$xs_dir/headless.out" || e2e_fail "no message on standard error: $(cat "$xs_dir/headless.out")"
grep -Eq "^[0-9-]{10} [0-9:]{8} [+-][0-9]{4} $message" "$log" || e2e_fail "no message in the log: $(cat "$log")"

# XWayland's DISPLAY: the same, and a dialog that stays until it is answered.
rm -f "$log"
xs_marrowick_env env XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0 "$e2e_app" \
  >"$xs_dir/dialog.out" 2>&1 </dev/null &
pid=$!
xs_track "$pid"
# xdotool matches names without regard to case, and Qt has hidden windows named "marrowick".
dialog_window() { xdotool search --onlyvisible --name '^Marrowick$' 2>/dev/null | head -n1; }
dialog_ready() {
  local w
  w="$(dialog_window)"
  [ -n "$w" ] && xs_managed "$w"
}
xs_wait_for 20 dialog_ready || e2e_fail "no dialog appeared: $(cat "$xs_dir/dialog.out")"
grep -q "^marrowick: $message" "$xs_dir/dialog.out" || e2e_fail "no message on standard error"
grep -q "$message" "$log" || e2e_fail "no message in the log"
grep -q "watching drags" "$log" && e2e_fail "drag monitoring started in a Wayland session"
xs_alive "$pid" || e2e_fail "exited before the dialog was answered"

dialog="$(dialog_window)"
xdotool windowactivate --sync "$dialog" key Return
xs_wait_for 10 bash -c "! kill -0 $pid 2>/dev/null" || e2e_fail "still running after the dialog was answered"
wait "$pid"
e2e_expect_eq "$?" 1 "exit status after the dialog"
e2e_pass
