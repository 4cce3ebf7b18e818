#!/usr/bin/env bash
# Screen readers and voice control work the settings window through AT-SPI: the Toggle action on
# the "2" section button and on the Ctrl box changes what Marrowick stores, as a click does.
# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh"
e2e_begin "$@"
command -v dbus-daemon >/dev/null && [ -x /usr/libexec/at-spi-bus-launcher ] && /usr/bin/python3 -c 'import pyatspi' ||
  e2e_fail "AT-SPI is missing (dbus, at-spi2-core and python3-pyatspi; scripts/deps installs them)"

# A session bus of this test's own, on which the accessibility bus starts when asked for.
read -r address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
[ -n "$bus_pid" ] || e2e_fail "no session bus"
xs_track "$bus_pid"
export DBUS_SESSION_BUS_ADDRESS="$address"

# Qt serves AT-SPI when the desktop asks for it; this desktop has no setting that does.
e2e_launch env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$e2e_app" --settings
settings="$xs_dir/config/marrowick/settings.json"
stored() { tr -d ' \n' <"$settings" 2>/dev/null | grep -q "$1"; }

# The ultrawide (LEFT) is shown first, with its three sections.
/usr/bin/python3 "$(dirname "$0")/atspi_act.py" marrowick 2 Toggle Sections ||
  e2e_fail "the Toggle action on the \"2\" section button could not be done"
xs_wait_for 10 stored '"displayDividers":{"LEFT":\[0.5\]}' ||
  e2e_fail "Toggle on \"2\" stored no two sections for LEFT: $(cat "$settings" 2>/dev/null)"

/usr/bin/python3 "$(dirname "$0")/atspi_act.py" marrowick Ctrl Toggle ||
  e2e_fail "the Toggle action on the Ctrl box could not be done"
# Ctrl and Alt, in the bits settings files keep (0x40000 | 0x80000).
xs_wait_for 10 stored '"dragKeys":786432' || e2e_fail "Toggle on Ctrl stored no Ctrl: $(cat "$settings")"
e2e_pass
