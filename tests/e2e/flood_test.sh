#!/usr/bin/env bash
# A flood of work-area changes (5,000 a second for 5 s) starves nothing: pings through the reopen
# socket are answered within 0.2 s all along, before and while the settings window is open (it
# redraws for every change of the screens it hears of), and resident memory once the flood is
# over is within 5 MB of what it was before. Qt, which is shown only some of the changes, ends
# with the last work area: the settings window opens centred in it.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
flood="${MARROWICK_WORKAREA_FLOOD:-}"
[ -x "$flood" ] || e2e_fail "no flood helper: MARROWICK_WORKAREA_FLOOD names the workarea_flood target"
e2e_launch "$e2e_app"
socket="$xs_dir/runtime/marrowick-$(id -u).socket"
[ -S "$socket" ] || e2e_fail "no reopen socket at $socket"

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$xs_app_pid/status"; }
ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$xs_app_pid/stat"; }
# True once Marrowick has used no CPU for half a second.
idle() {
  local before
  before="$(ticks)"
  sleep 0.5
  [ "$(ticks)" = "$before" ]
}

# flood LABEL [ARGS]: 5 s of changes with a ping every 0.1 s; fails unless every ping was
# answered within 0.2 s.
flood() {
  local label="$1"
  shift
  "$flood" --rate 5000 --seconds 5 --socket "$socket" "$@" >"$xs_dir/flood.out" || e2e_fail "the flood helper failed"
  local pings answered slowest
  read -r _ pings _ answered _ slowest < <(grep '^pings' "$xs_dir/flood.out")
  echo "$label: $pings pings, $answered answered, the slowest in $slowest ms"
  ((pings >= 10)) || e2e_fail "$label: only $pings pings could be sent"
  e2e_expect_eq "$answered" "$pings" "$label: pings answered"
  awk -v s="$slowest" 'BEGIN { exit !(s <= 200) }' || e2e_fail "$label: the slowest ping took $slowest ms"
}

xs_wait_for 30 idle || e2e_fail "Marrowick did not settle after its launch"
# Ends with the primary monitor's left 2000 points as the work area.
flood "flood" --final 0,0,2000,1440
xs_alive "$xs_app_pid" || e2e_fail "Marrowick exited in the flood"

# A second launch opens the settings window, which Qt centres in the primary's work area.
(xs_marrowick_env timeout 20 "$e2e_app") >"$xs_dir/second.out" 2>&1 </dev/null
settings_window() {
  local id
  for id in $(xdotool search --name '^Marrowick Settings$' 2>/dev/null); do
    xs_managed "$id" && echo "$id" && return 0
  done
  return 1
}
xs_wait_for 15 settings_window || e2e_fail "the second launch showed no settings window"
read -r x _ w _ < <(xs_frame_geometry "$(settings_window)")
centre=$((x + w / 2))
((centre > 1000 - 40 && centre < 1000 + 40)) ||
  e2e_fail "the settings window is centred at x $centre, not in the last work area (x 0 to 2000)"

xs_wait_for 30 idle || e2e_fail "Marrowick did not settle with its settings window open"
before="$(rss_kb)"
flood "flood with the settings window open"
xs_wait_for 30 idle || e2e_fail "Marrowick was still busy 30 s after the flood"
after="$(rss_kb)"
echo "resident memory before that flood ${before} kB, after ${after} kB"
((after - before <= 5120)) || e2e_fail "resident memory grew by $(((after - before) / 1024)) MB in the flood"
e2e_pass
