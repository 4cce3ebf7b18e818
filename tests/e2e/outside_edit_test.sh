#!/usr/bin/env bash
# The settings file belongs to the user too. A key Marrowick does not know and a gap added by hand
# while it runs are taken in (the gap shows in the next snap) and survive Marrowick's next write,
# which neither follows a link planted at its temporary file's name. A file made invalid by hand
# is kept aside and logged, and Marrowick writes back the settings it holds.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
xs_start_xterm sample-1 80x24+200+200 || e2e_fail "no xterm"
term="$xs_window"
settings="$xs_dir/config/marrowick/settings.json"
flat() { tr -d ' \n' <"$settings"; }

e2e_launch "$e2e_app"

# By hand, as an editor saves: a new file renamed over the old one.
mkdir -p "$(dirname "$settings")"
cat >"$settings.new" <<'JSON'
{ "displayGap": { "LEFT": 20 }, "someoneElse": { "kept": true } }
JSON
mv "$settings.new" "$settings"
xs_wait_log 'settings changed on disk; taken in' 10 || e2e_fail "the edit was not taken in"

# The gap applies: the first of the ultrawide's three columns (0 to 1147) keeps half of it, 10,
# from its neighbour.
read -r sx sy < <(xs_title_bar_point "$term")
xs_alt_drag "$sx" "$sy" 500 720 24
xs_wait_log 'snapped to' 10 || e2e_fail "the xterm was not snapped"
grep -q 'snapped to (0.0, 0.0, 1137.0, 1440.0)' "$xs_app_log" ||
  e2e_fail "the snap ignored the gap added by hand: $(grep 'snapped to' "$xs_app_log")"

# A link at the name of Marrowick's temporary file, to a file of its own.
echo "not to be touched" >"$xs_dir/victim"
ln -s "$xs_dir/victim" "$settings.tmp-$xs_app_pid"

# Marrowick's own change: the right monitor cut into two sections in the settings window.
(xs_marrowick_env timeout 20 "$e2e_app") >"$xs_dir/second.out" 2>&1 </dev/null
settings_window() {
  local id
  for id in $(xdotool search --name '^Marrowick Settings$' 2>/dev/null); do
    xs_managed "$id" && echo "$id" && return 0
  done
  return 1
}
xs_wait_for 15 settings_window || e2e_fail "no settings window"
xdotool key --window "$(settings_window)" Down Tab Right
right_cut() { flat | grep -q '"RIGHT":\[0.5\]'; }
xs_wait_for 10 right_cut || e2e_fail "the change was not written: $(cat "$settings")"
flat | grep -q '"someoneElse":{"kept":true}' || e2e_fail "the key added by hand is gone: $(cat "$settings")"
flat | grep -q '"displayGap":{"LEFT":20}' || e2e_fail "the gap added by hand is gone: $(cat "$settings")"
e2e_expect_eq "$(cat "$xs_dir/victim")" "not to be touched" "the planted link's target"
[ -L "$settings" ] && e2e_fail "the settings file became a link"

# Broken by hand: kept aside, and the settings in use written back.
echo '{ "displayGap": ' >"$settings"
xs_wait_log 'is not valid; kept as' 10 || e2e_fail "the broken file was not logged"
aside="$(find "$xs_dir/config/marrowick" -name 'settings.json.unreadable-*' | head -n1)"
[ -n "$aside" ] || e2e_fail "the broken file was not kept"
e2e_expect_eq "$(cat "$aside")" '{ "displayGap": ' "the file kept aside"
rewritten() { flat | grep -q '"RIGHT":\[0.5\]' && flat | grep -q '"someoneElse":{"kept":true}'; }
xs_wait_for 10 rewritten || e2e_fail "the settings in use were not written back: $(cat "$settings")"
xs_alive "$xs_app_pid" || e2e_fail "Marrowick exited"
e2e_pass
