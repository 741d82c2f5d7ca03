#!/usr/bin/env bash
# The program started from the command line in a folder of the user's, with automatic names
# on: `kestrune take.wav` records into take.wav of that folder, not into an automatic name,
# and SIGTERM ends it as a complete file. The input is a tone through SDL's disk driver.
#
# Usage: command-line.sh KESTRUNE CHECK_TONE TONE_WAV
set -uo pipefail
program=$1 check_tone=$2 tone_wav=$3
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "command-line: FAILED: $*" >&2
  [ -s "$work/kestrune.log" ] && cat "$work/kestrune.log" >&2
  exit 1
}

mkdir "$work/bin" "$work/here" "$work/auto"
cp "$program" "$(dirname "$program")"/*.ico "$work/bin/" || fail "cannot copy the program"
printf '[WMA]\nUse=0\n[set]\nRecordType=0\n[AutoName]\nEnable=1\nPath=%s/auto/\n' "$work" >"$work/bin/set.ini"
"$tone_wav" "$work/tone.wav" 30 1000 44100 2 >/dev/null || fail "tone_wav"
tail -c +45 "$work/tone.wav" >"$work/input.raw"

cd "$work/here" || fail "cd"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILEIN="$work/input.raw" QT_QPA_PLATFORM=offscreen \
  "$work/bin/kestrune" take.wav >"$work/kestrune.log" 2>&1 &
pid=$!
for _ in $(seq 100); do [ "$(stat -c %s take.wav 2>/dev/null || echo 0)" -gt 100000 ] && break; sleep 0.1; done
sleep 1
kill -TERM "$pid"
wait "$pid" || fail "kestrune ended with $? on SIGTERM"
pid=
[ -f "$work/here/take.wav" ] || fail "no take.wav in the folder it was started from"
[ -z "$(ls -A "$work/auto")" ] || fail "an automatic name was recorded instead: $(ls "$work/auto")"
"$check_tone" "$work/here/take.wav" 1000 1 >"$work/check.log" 2>&1 || fail "$(cat "$work/check.log")"
echo "PASS: $(head -n 1 "$work/check.log")"
