#!/usr/bin/env bash
# Where the lock and the reopen socket cannot safely go, a launch says why on standard error and
# in its log and exits with status 1; without XDG_RUNTIME_DIR it uses a folder of the user's own.
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
e2e_pass
