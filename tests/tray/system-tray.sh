#!/usr/bin/env bash
# The tray icon through Qt's own system tray in a real notification area: a virtual X
# display, a stand-in tray manager that docks the icon (tray-standin.py), and the tests of
# kestrune_tests that need one (SystemTray.*), on Qt's X11 platform.
#
# Usage: system-tray.sh KESTRUNE_TESTS
set -uo pipefail
tests=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "system-tray: FAILED: $*" >&2
  for log in "$work"/*.log; do [ -s "$log" ] && { echo "---- ${log##*/}" >&2; tail -n 30 "$log" >&2; }; done
  exit 1
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY
# No session bus: Qt uses the X11 notification area, not a StatusNotifier host.
export DBUS_SESSION_BUS_ADDRESS=disabled:

/usr/bin/python3 "$here/tray-standin.py" >"$work/standin.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q ready "$work/standin.log" && break; sleep 0.1; done
grep -q ready "$work/standin.log" || fail "the stand-in notification area did not start"

KESTRUNE_TRAY_STANDIN=1 KESTRUNE_TEST_PLATFORM=xcb timeout -k 5 60 "$tests" --gtest_filter='SystemTray.*' \
  >"$work/gtest.log" 2>&1 || { cat "$work/gtest.log"; fail "SystemTray tests"; }
grep -q '\[  PASSED  \] 1 test' "$work/gtest.log" || { cat "$work/gtest.log"; fail "SystemTray did not run"; }
grep -q docked "$work/standin.log" || fail "no icon was docked"
echo "PASS: the icon docked ($(grep -c docked "$work/standin.log") time(s)); clicks and removal as the gtest log says"
