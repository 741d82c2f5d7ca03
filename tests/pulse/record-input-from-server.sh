#!/usr/bin/env bash
# The input chosen in the settings, against a real sound server: a private PulseAudio, or a
# private PipeWire with wireplumber and pipewire-pulse. Two null sinks: the default one's
# monitor is the default source and hears 1000 Hz; the other sink plays 1500 Hz. First the
# settings' Input page (kestrune_tests InputPageOnServer.*) must show the level on the other
# monitor's row only, while only that tone plays. Then the program itself records from the
# command line three times, with set.ini saying no Input, the other sink's monitor, and a
# source that is not there; each file must hold its tone for the time it recorded, and only
# the last may say, on the stop by SIGTERM, that the default input was recorded instead.
#
# Usage: record-input-from-server.sh pulseaudio|pipewire KESTRUNE KESTRUNE_TESTS CHECK_TONE TONE_WAV
set -uo pipefail
export LC_ALL=C

SERVER_TAG="record-input-${1:-server}" # read by servers.sh
# shellcheck source=servers.sh
source "$(dirname "$0")/servers.sh"

[ $# -eq 5 ] || fail "usage: $0 pulseaudio|pipewire KESTRUNE KESTRUNE_TESTS CHECK_TONE TONE_WAV"
server=$1 program=$2 tests=$3 check_tone=$4 tone_wav=$5
case $server in pulseaudio | pipewire) ;; *) fail "unknown server '$server' (pulseaudio or pipewire)" ;; esac
for p in "$program" "$tests" "$check_tone" "$tone_wav"; do
  [ -x "$p" ] || fail "$p is not an executable"
done
unset SDL_AUDIODRIVER

other=kestrune_other
seconds=5

server_start "$server"
_server_pactl load-module module-null-sink "sink_name=$other" "rate=$SERVER_RATE" "channels=$SERVER_CHANNELS" \
  >/dev/null || fail "the second null sink could not be loaded"
for _ in $(seq 100); do
  _server_pactl list short sources 2>/dev/null | cut -f2 | grep -qx "$other.monitor" && break
  sleep 0.1
done
_server_pactl list short sources | cut -f2 | grep -qx "$other.monitor" || fail "$other.monitor never appeared"
# The default stays the first sink's monitor.
[ "$(_server_pactl get-default-source)" = "$SERVER_SINK.monitor" ] ||
  _server_pactl set-default-source "$SERVER_SINK.monitor" || fail "the default source moved"

"$tone_wav" "$SERVER_DIR/low.wav" 120 1000 44100 2 >/dev/null && "$tone_wav" "$SERVER_DIR/high.wav" 120 1500 44100 2 >/dev/null ||
  fail "tone_wav could not write the tones"
SERVER_SINK=$other server_play "$SERVER_DIR/high.wav"

say "the Input page, with only $other playing"
KESTRUNE_INPUT_TONE=$other.monitor KESTRUNE_INPUT_QUIET=$SERVER_SINK.monitor QT_QPA_PLATFORM=offscreen \
  timeout -k 5 60 "$tests" --gtest_filter='InputPageOnServer.*' >"$SERVER_DIR/page.log" 2>&1 ||
  { cat "$SERVER_DIR/page.log"; fail "the Input page did not show the level of the input that carries sound"; }
grep -q '\[  PASSED  \] 1 test' "$SERVER_DIR/page.log" || { cat "$SERVER_DIR/page.log"; fail "InputPageOnServer did not run"; }
say "Input page: passed; $(grep 'filled' "$SERVER_DIR/page.log")"

server_play "$SERVER_DIR/low.wav"
mkdir "$SERVER_DIR/bin" && cp "$program" "$(dirname "$program")"/*.ico "$SERVER_DIR/bin/" || fail "cannot copy the program"

failures=()
# NAME INPUT TONE_HZ MISSING(0/1): records SECONDS from the command line, stops with SIGTERM, judges.
record() {
  local name=$1 input=$2 hz=$3 missing=$4 out=$SERVER_DIR/$1.wav log=$SERVER_DIR/$1-kestrune.log pid start stop min max
  printf '[set]\nRecordType=0\nInput=%s\n[WMA]\nUse=0\n' "$input" >"$SERVER_DIR/bin/set.ini"
  say "$name: recording ${seconds} s with Input=$input"
  QT_QPA_PLATFORM=offscreen "$SERVER_DIR/bin/kestrune" "$out" </dev/null >"$log" 2>&1 &
  pid=$!
  server_track "$pid"
  # The file has its header once capture runs; the time recorded is counted from then.
  for _ in $(seq 200); do [ "$(stat -c %s "$out" 2>/dev/null || echo 0)" -ge 80 ] && break; sleep 0.05; done
  start=$(date +%s.%N)
  [ -s "$out" ] || { say "$name: FAILED: the recording did not start: $(tail -n 2 "$log")"; return 1; }
  sleep "$seconds"
  stop=$(date +%s.%N)
  kill -TERM "$pid"
  wait "$pid" || { say "$name: FAILED: kestrune ended with $? on SIGTERM"; return 1; }
  server_end "$pid"
  if [ "$missing" = 1 ]; then
    grep -qxF "kestrune: The input $input was not found; $out was recorded from the default input." "$log" ||
      { say "$name: FAILED: no word of the missing input: $(cat "$log")"; return 1; }
  elif grep -q 'was not found' "$log"; then
    say "$name: FAILED: $(grep 'was not found' "$log")"
    return 1
  fi
  read -r min max < <(awk -v a="$start" -v b="$stop" 'BEGIN { printf "%.3f %.3f\n", b - a - 0.3, b - a + 0.3 }')
  "$check_tone" "$out" "$hz" "$min" "$max" >"$SERVER_DIR/$name-check.log" 2>&1 ||
    { say "$name: FAILED: wants $hz Hz for $min to $max s: $(tail -n 1 "$SERVER_DIR/$name-check.log")"; return 1; }
  say "$name: passed: $(head -n 1 "$SERVER_DIR/$name-check.log")"
}

record default '' 1000 0 || failures+=(default)
record chosen "$other.monitor" 1500 0 || failures+=(chosen)
record missing no_such_source 1000 1 || failures+=(missing)

[ ${#failures[@]} -eq 0 ] || fail "${#failures[@]} of 3 recordings failed on $server: ${failures[*]}"
say "the Input page and all 3 recordings passed on $server in ${SECONDS} s"
