#!/usr/bin/env bash
# A second launch reaches the running instance, which logs the request, and exits at once; the
# first one keeps running and keeps its log.
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
e2e_pass
