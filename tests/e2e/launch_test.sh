#!/usr/bin/env bash
# Launching on a real X server starts drag monitoring at once (X11 needs no permission) and
# keeps running.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
xs_start_xterm sample-1 80x24+200+200 || e2e_fail "no xterm"

e2e_launch "$e2e_app"
grep -Eq '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} [+-][0-9]{4} watching drags$' "$xs_app_log" ||
  e2e_fail "the log line is not 'date time zone watching drags': $(grep 'watching drags' "$xs_app_log")"
e2e_expect_eq "$(grep -c 'watching drags' "$xs_app_log")" 1 "times 'watching drags' was logged"
# Nothing is waiting for a permission X11 does not have.
grep -q 'waiting for .*permission' "$xs_app_log" && e2e_fail "launch waited for a permission"

marrowick_gone() { ! xs_alive "$xs_app_pid"; }
if xs_wait_for 1 marrowick_gone; then e2e_fail "marrowick exited after launch: $(cat "$xs_dir/marrowick.out")"; fi
e2e_pass
