# shellcheck shell=bash
# Sourced by every e2e test: its own virtual desktop (scripts/x-desktop, through
# scripts/x-session.sh) and the checks the tests share. $1 of the test is the marrowick binary.
set -uo pipefail
e2e_here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=scripts/x-session.sh
source "$e2e_here/scripts/x-session.sh"

e2e_skip_code=77
e2e_name="$(basename "$0" .sh)"

e2e_fail() {
  echo "FAIL ($e2e_name): $*" >&2
  exit 1
}

e2e_skip() {
  echo "SKIP ($e2e_name): $*" >&2
  exit "$e2e_skip_code"
}

e2e_pass() {
  echo "PASS ($e2e_name)"
  exit 0
}

# The binary, a desktop with the two monitors, openbox and xcompmgr; skips only when no X
# server can start here.
e2e_begin() {
  e2e_app="${1:-}"
  if [ -n "${MARROWICK_E2E_NO_APP:-}" ]; then
    e2e_skip "this tree defines no marrowick executable yet"
  fi
  [ -x "$e2e_app" ] || e2e_fail "marrowick binary '$e2e_app' is missing"
  trap xs_stop EXIT
  trap 'exit 130' INT TERM HUP
  xs_start_xvfb || e2e_skip "Xvfb cannot start on this machine"
  xs_start_desktop || e2e_fail "the virtual desktop did not come up"
}

# Starts Marrowick with the arguments given and fails unless it is watching drags within 30 s.
e2e_launch() {
  xs_start_marrowick "$@"
  xs_wait_log 'watching drags' 30 || e2e_fail "Marrowick ($*) did not log 'watching drags'"
}

# Fails unless $1 and $2 are equal; $3 says what was compared.
e2e_expect_eq() {
  [ "$1" = "$2" ] || e2e_fail "$3: expected '$2', got '$1'"
}
