#!/usr/bin/env bash
# Records from a real sound server: a private PulseAudio, or a private PipeWire with
# wireplumber and pipewire-pulse. A 1 kHz tone plays into a null sink whose monitor is the
# default source, and record_child records 10 s three times, one after the other: WAV
# 44100 Hz stereo, MP3 22050 Hz mono at 128 kbit/s, and WAV again while two busy loops take
# both cores. Each file must hold the tone for the time record_child says it recorded
# (within 1 %), and record_child must report no loss.
#
# Usage: record-from-server.sh pulseaudio|pipewire RECORD_CHILD CHECK_TONE TONE_WAV
set -uo pipefail
export LC_ALL=C # pactl's output is parsed, and awk prints decimals with a dot

SERVER_TAG="record-from-${1:-server}" # read by servers.sh
# shellcheck source=servers.sh
source "$(dirname "$0")/servers.sh"

[ $# -eq 4 ] || fail "usage: $0 pulseaudio|pipewire RECORD_CHILD CHECK_TONE TONE_WAV"
server=$1
record_child=$2
check_tone=$3
tone_wav=$4
case $server in pulseaudio | pipewire) ;; *) fail "unknown server '$server' (pulseaudio or pipewire)" ;; esac
for program in "$record_child" "$check_tone" "$tone_wav"; do
  [ -x "$program" ] || fail "$program is not an executable (build the record_child target)"
done
[ -n "${SDL_AUDIODRIVER:-}" ] && say "note: the caller set SDL_AUDIODRIVER=$SDL_AUDIODRIVER"

tone_hz=1000
seconds=10

server_start "$server"
# Long enough for all three recordings and their starts and stops.
"$tone_wav" "$SERVER_DIR/tone.wav" 120 "$tone_hz" 44100 2 >/dev/null ||
  fail "tone_wav could not write the tone"
server_play "$SERVER_DIR/tone.wav"

failures=()

# NAME FORMAT RATE CHANNELS KBPS EXTENSION: records, then judges; 1 when the recording failed.
record() {
  local name=$1 format=$2 rate=$3 channels=$4 kbps=$5 ext=$6
  local out=$SERVER_DIR/$name.$ext stdout=$SERVER_DIR/$name-stdout.log rc recorded lost min max
  say "$name: recording ${seconds} s ($ext, $rate Hz, $channels channel(s))"
  timeout -k 5 60 "$record_child" "$format" "$rate" "$channels" "$kbps" "$out" "$seconds" \
    </dev/null >"$stdout" 2>"$SERVER_DIR/$name-stderr.log"
  rc=$?
  case $rc in
    0) ;;
    2) say "$name: FAILED: StartRecord refused (the default source could not be opened)"; return 1 ;;
    124 | 137) say "$name: FAILED: record_child did not finish a ${seconds} s recording within 60 s"; return 1 ;;
    *) say "$name: FAILED: record_child exited with $rc"; return 1 ;;
  esac
  grep -qx recording "$stdout" || { say "$name: FAILED: record_child never printed 'recording'"; return 1; }
  [ -s "$out" ] || { say "$name: FAILED: record_child left no file at $out"; return 1; }

  recorded=$(awk '$1 == "recorded" { print $2; exit }' "$stdout")
  lost=$(awk '$1 == "lost" { print $2; exit }' "$stdout")
  if [ -z "$recorded" ] || [ -z "$lost" ]; then
    say "$name: FAILED: record_child did not say how long it recorded and what it lost"
    return 1
  elif [ "$lost" != 0 ]; then
    say "$name: FAILED: record_child lost $lost ms"
    return 1
  fi

  read -r min max < <(awk -v s="$recorded" 'BEGIN { printf "%.3f %.3f\n", s * 0.99, s * 1.01 }')
  if ! "$check_tone" "$out" "$tone_hz" "$min" "$max" >"$SERVER_DIR/$name-check.log" 2>&1; then
    say "$name: FAILED: check_tone wants the ${tone_hz} Hz tone for $min to $max s: $(tail -n 1 "$SERVER_DIR/$name-check.log")"
    return 1
  fi
  say "$name: passed: recorded $recorded s, lost $lost ms; $(head -n 1 "$SERVER_DIR/$name-check.log")"
}

record wav-44100-stereo 0 44100 2 0 wav || failures+=(wav-44100-stereo)
record mp3-22050-mono 1 22050 1 128 mp3 || failures+=(mp3-22050-mono)

busy=()
script=$$
busy_until=$((SECONDS + 90))
for _ in 1 2; do
  # Should this script be killed outright, the loops end by themselves.
  (while kill -0 "$script" 2>/dev/null && ((SECONDS < busy_until)); do :; done) </dev/null >/dev/null 2>&1 &
  busy+=($!)
  server_track "$!"
done
say "two busy loops (${busy[*]}) take both cores"
record wav-44100-stereo-busy 0 44100 2 0 wav || failures+=(wav-44100-stereo-busy)
for pid in "${busy[@]}"; do server_end "$pid"; done

# A recording across a restart of the server, 3 s in: the tone before and after it in the
# file, and the time without a server counted as lost (file + loss = the time recorded).
across_restart() {
  local name=restart out=$SERVER_DIR/restart.wav stdout=$SERVER_DIR/restart-stdout.log child said recorded lost
  local held head_ok tail_ok
  say "$name: recording 12 s, the server restarted 3 s in"
  "$record_child" 0 44100 2 0 "$out" 12 </dev/null >"$stdout" 2>"$SERVER_DIR/restart-stderr.log" &
  child=$!
  for _ in $(seq 100); do grep -qx recording "$stdout" && break; sleep 0.1; done
  grep -qx recording "$stdout" || { say "$name: FAILED: the recording did not start"; return 1; }
  sleep 3
  server_restart
  server_play "$SERVER_DIR/tone.wav"
  wait "$child" || { say "$name: FAILED: record_child exited with $?"; return 1; }
  recorded=$(awk '$1 == "recorded" { print $2; exit }' "$stdout")
  lost=$(awk '$1 == "lost" { print $2 / 1000; exit }' "$stdout")
  held=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out")
  say "$name: recorded $recorded s, the file holds $held s, lost $lost s"
  awk -v r="$recorded" -v h="$held" -v l="$lost" 'BEGIN { exit !(l >= 0.3 && l <= 8 && h + l >= r - 0.3 && h + l <= r + 0.3) }' \
    || { say "$name: FAILED: the file and the loss do not add up to the time recorded"; return 1; }
  ffmpeg -v error -y -t 2.8 -i "$out" "$SERVER_DIR/restart-head.wav" &&
    ffmpeg -v error -y -sseof -4 -i "$out" "$SERVER_DIR/restart-tail.wav" ||
    { say "$name: FAILED: ffmpeg could not cut the file"; return 1; }
  "$check_tone" "$SERVER_DIR/restart-head.wav" "$tone_hz" 2.5 >"$SERVER_DIR/restart-check.log" 2>&1 &&
    "$check_tone" "$SERVER_DIR/restart-tail.wav" "$tone_hz" 3.5 >>"$SERVER_DIR/restart-check.log" 2>&1 ||
    { say "$name: FAILED: no tone before or after the restart: $(tail -n 1 "$SERVER_DIR/restart-check.log")"; return 1; }
  say "$name: passed"
}
across_restart || failures+=(restart)

[ ${#failures[@]} -eq 0 ] || fail "${#failures[@]} of 4 recordings failed on $server: ${failures[*]}"
say "all 4 recordings passed on $server in ${SECONDS} s"
