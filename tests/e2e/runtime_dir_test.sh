#!/usr/bin/env bash
# Where the lock and the reopen socket cannot safely go, a launch says why on standard error and
# in its log and exits with status 1; without XDG_RUNTIME_DIR it uses a folder of the user's own.
# Where only the socket cannot be made (a path too long for one), the instance runs, says so on
# standard error and in its log, and a later launch says why it cannot reach it.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
log="$xs_dir/state/Marrowick.log"

# A runtime folder nobody may write in, not even root.
(xs_marrowick_env env XDG_RUNTIME_DIR=/proc timeout 20 "$e2e_app") >"$xs_dir/unwritable.out" 2>&1 </dev/null
e2e_expect_eq "$?" 1 "exit status with a runtime folder that cannot be written"
grep -q "^marrowick: cannot write in the runtime folder /proc" "$xs_dir/unwritable.out" ||
  e2e_fail "no message on standard error: $(cat "$xs_dir/unwritable.out")"
grep -q "cannot write in the runtime folder /proc" "$log" || e2e_fail "no message in the log: $(cat "$log")"

# No XDG_RUNTIME_DIR and a fallback folder that others may enter: refused.
tmp="$xs_dir/tmp"
fallback="$tmp/marrowick-$(id -u)"
mkdir -p "$fallback"
chmod 755 "$fallback"
(xs_marrowick_env env -u XDG_RUNTIME_DIR TMPDIR="$tmp" timeout 20 "$e2e_app") >"$xs_dir/open.out" 2>&1 </dev/null
e2e_expect_eq "$?" 1 "exit status with a fallback folder open to others"
grep -q "^marrowick: the runtime folder $fallback is not a folder of this user's own" "$xs_dir/open.out" ||
  e2e_fail "no message on standard error: $(cat "$xs_dir/open.out")"

# Made private, it is used: the instance starts, and a second launch reaches it.
rmdir "$fallback"
xs_start_marrowick env -u XDG_RUNTIME_DIR TMPDIR="$tmp" "$e2e_app"
xs_wait_log 'watching drags' 30 || e2e_fail "the launch without XDG_RUNTIME_DIR did not start"
e2e_expect_eq "$(stat -c %a "$fallback")" 700 "mode of the fallback folder"
(xs_marrowick_env env -u XDG_RUNTIME_DIR TMPDIR="$tmp" timeout 20 "$e2e_app") >"$xs_dir/second.out" 2>&1 </dev/null
e2e_expect_eq "$?" 0 "exit status of the second launch ($(cat "$xs_dir/second.out"))"
xs_wait_log 'reopen requested' 10 || e2e_fail "the running instance did not hear the second launch"

long="$xs_dir/$(printf 'r%.0s' {1..110})"
mkdir -m 700 "$long"
xs_start_marrowick env XDG_RUNTIME_DIR="$long" "$e2e_app"
xs_wait_log 'watching drags' 30 || e2e_fail "the instance without a socket did not start"
said() { grep -q "later launches cannot reach it: it could not listen at $long/" "$1"; }
xs_wait_for 10 said "$xs_dir/marrowick.out" || e2e_fail "nothing on standard error: $(cat "$xs_dir/marrowick.out")"
# The log still holds the first instance's lines until this one clears it: wait for the new one.
xs_wait_for 10 said "$xs_app_log" || e2e_fail "nothing in the log after the launch cleared it: $(cat "$xs_app_log")"
(xs_marrowick_env env XDG_RUNTIME_DIR="$long" timeout 20 "$e2e_app") >"$xs_dir/unreachable.out" 2>&1 </dev/null
e2e_expect_eq "$?" 1 "exit status of a launch that cannot reach the running one"
grep -q "^marrowick: Marrowick already runs but cannot be reached: it could not listen at $long/" \
  "$xs_dir/unreachable.out" || e2e_fail "the later launch did not say why: $(cat "$xs_dir/unreachable.out")"
xs_alive "$xs_app_pid" || e2e_fail "the instance without a socket exited"
e2e_pass
