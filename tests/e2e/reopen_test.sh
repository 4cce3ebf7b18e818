#!/usr/bin/env bash
# A second launch reaches the running instance, which logs the request, and exits at once; the
# first one keeps running and keeps its log. Options of a later launch act in the running one; an
# unknown option is an error of the launch itself.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"

xs_start_marrowick "$e2e_app"
first="$xs_app_pid"
xs_wait_log 'watching drags' 30 || e2e_fail "the first launch did not log 'watching drags'"

# Same settings, log and socket folders as the first; bounded, so a second instance that stays
# fails instead of hanging the test.
(xs_marrowick_env timeout 20 "$e2e_app") >"$xs_dir/second.out" 2>&1 </dev/null
status=$?
[ "$status" = 124 ] && e2e_fail "the second launch kept running"
e2e_expect_eq "$status" 0 "exit status of the second launch ($(cat "$xs_dir/second.out"))"

xs_wait_log 'reopen requested' 10 || e2e_fail "the first instance did not log the reopen request"
xs_alive "$first" || e2e_fail "the first instance exited"
# The second launch did not start over: the first's log is still there, monitoring once.
e2e_expect_eq "$(grep -c 'watching drags' "$xs_app_log")" 1 "times 'watching drags' is in the log"

# A third launch is handled the same way: the instance keeps listening.
(xs_marrowick_env timeout 20 "$e2e_app") >"$xs_dir/third.out" 2>&1 </dev/null
e2e_expect_eq "$?" 0 "exit status of the third launch"
reopen_twice() { [ "$(grep -c 'reopen requested' "$xs_app_log")" -ge 2 ]; }
xs_wait_for 10 reopen_twice || e2e_fail "the second reopen request was not logged"

# "marrowick --overlay" while it runs shows the live overlay there for its 3 seconds: the
# ultrawide's middle column outlined over the bare desktop and the handle of its second divider.
spots=("1720 1300" "2293 300")
mapfile -t bare < <(xs_screen_pixels "${spots[@]}")
overlay_is() {
  local now i
  mapfile -t now < <(xs_screen_pixels "${spots[@]}")
  for i in "${!spots[@]}"; do
    if [ "$1" = shown ]; then
      [ "${now[i]}" != "${bare[i]}" ] || return 1
    else
      [ "${now[i]}" = "${bare[i]}" ] || return 1
    fi
  done
}
(xs_marrowick_env timeout 20 "$e2e_app" --overlay) >"$xs_dir/overlay.out" 2>&1 </dev/null
e2e_expect_eq "$?" 0 "exit status of 'marrowick --overlay' while it runs ($(cat "$xs_dir/overlay.out"))"
xs_wait_for 10 overlay_is shown || e2e_fail "'marrowick --overlay' while it runs showed no overlay"
xs_log_has 'reopen requested --overlay' || e2e_fail "the running instance did not log the forwarded --overlay"
xs_wait_for 10 overlay_is hidden || e2e_fail "the forwarded overlay stayed up"

# An option it does not know: a clear error and the usage on standard error, exit status 2, and
# nothing reaches the running instance.
(xs_marrowick_env timeout 20 "$e2e_app" --overlay --bogus) >"$xs_dir/bogus.out" 2>"$xs_dir/bogus.err" </dev/null
e2e_expect_eq "$?" 2 "exit status with an unknown option"
grep -qx "marrowick: Unknown option '--bogus'." "$xs_dir/bogus.err" ||
  e2e_fail "no clear error for the unknown option: $(cat "$xs_dir/bogus.err")"
grep -q '^Usage: marrowick ' "$xs_dir/bogus.err" || e2e_fail "no usage after the error: $(cat "$xs_dir/bogus.err")"
[ -s "$xs_dir/bogus.out" ] && e2e_fail "the error went to standard output: $(cat "$xs_dir/bogus.out")"
e2e_expect_eq "$(grep -c 'reopen requested' "$xs_app_log")" 3 "requests logged after the unknown option"
e2e_pass
