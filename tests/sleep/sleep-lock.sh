#!/usr/bin/env bash
# The sleep lock against a stand-in logind on a private bus given as the system bus: the
# window's rules (kestrune_tests SleepLock.*), then the program recording from SDL's disk
# driver, holding the lock, and releasing it when SIGTERM ends it.
#
# Usage: sleep-lock.sh KESTRUNE_TESTS KESTRUNE TONE_WAV
set -euo pipefail
tests=$1 program=$2 tone_wav=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; tail -n 20 "$f"; done; exit 1; }

dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/bus" > "$work/bus.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -S "$work/bus" ] && break; sleep 0.1; done
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/bus"
/usr/bin/python3 "$here/logind-standin.py" > "$work/standin.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q ready "$work/standin.log" 2>/dev/null && break; sleep 0.1; done
grep -q ready "$work/standin.log" || fail "the stand-in logind did not start"

holders() {
  dbus-send --bus="$DBUS_SYSTEM_BUS_ADDRESS" --print-reply --dest=org.freedesktop.login1 \
    /org/freedesktop/login1 org.kestrune.StandIn.Holders | awk -F'"' '/string/ { print $2 }'
}

KESTRUNE_LOGIND_STANDIN=1 QT_QPA_PLATFORM=offscreen "$tests" --gtest_filter='SleepLock.*' > "$work/gtest.log" 2>&1 \
  || fail "SleepLock tests"
grep -q '\[  PASSED  \] 1 test' "$work/gtest.log" || fail "SleepLock did not run"

# The program itself, from a folder of its own, recording a tone from SDL's disk driver.
mkdir "$work/bin"
cp "$program" "$(dirname "$program")"/*.ico "$work/bin/"
printf '[WMA]\nUse=0\n[set]\nRecordType=0\n' > "$work/bin/set.ini"
"$tone_wav" "$work/tone.wav" 30 1000 44100 2 > /dev/null
tail -c +45 "$work/tone.wav" > "$work/input.raw"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILEIN="$work/input.raw" QT_QPA_PLATFORM=offscreen \
  "$work/bin/kestrune" "$work/take.wav" > "$work/kestrune.log" 2>&1 &
kestrune=$!
pids+=($kestrune)
held=''
for _ in $(seq 100); do held=$(holders); [ -n "$held" ] && break; sleep 0.1; done
[ "$held" = "sleep|Kestrune|Recording take.wav|block" ] || fail "held '$held' while recording"
kill -TERM "$kestrune"
wait "$kestrune" || fail "kestrune ended with $? on SIGTERM"
[ -z "$(holders)" ] || fail "the lock outlived the program: $(holders)"
echo "PASS: held while recording ($held), released by the stop on SIGTERM"
