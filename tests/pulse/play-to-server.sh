#!/usr/bin/env bash
# Plays into a real sound server: a private PulseAudio, or a private PipeWire with wireplumber
# and pipewire-pulse. play_child plays a 3 s sweep through the program's wave output into a
# null sink while parecord records its monitor, then plays a 6 s sweep and resets it after
# 1.5 s, as a pause does. check_playback judges each recording: the sweep whole and in order
# (up to the reset), sound within 100 ms of Play, silence within 100 ms of the reset, and each
# buffer back once heard. The stream must be ours, with the role "music".
#
# The recording's last frame is taken as the moment parecord stops (within its 40 ms fragments),
# which places the sound in time. On PulseAudio a silent stream keeps the sink running at a
# short latency throughout, as a desktop's sound card runs: an idle null sink renders seconds of
# silence ahead, which a new stream would wait behind, and its monitor would hand the recorder
# bursts instead of a steady stream. PipeWire's null sink needs none, and shorter periods than
# our own stream's and parecord's make its graph miss its deadlines on a busy machine.
#
# Usage: play-to-server.sh pulseaudio|pipewire PLAY_CHILD CHECK_PLAYBACK
set -uo pipefail
export LC_ALL=C # decimals with a dot

SERVER_TAG="play-to-${1:-server}" # read by servers.sh
# shellcheck source=servers.sh
source "$(dirname "$0")/servers.sh"

[ $# -eq 3 ] || fail "usage: $0 pulseaudio|pipewire PLAY_CHILD CHECK_PLAYBACK"
server=$1
play_child=$2
check_playback=$3
case $server in pulseaudio | pipewire) ;; *) fail "unknown server '$server' (pulseaudio or pipewire)" ;; esac
for program in "$play_child" "$check_playback"; do
  [ -x "$program" ] || fail "$program is not an executable (build the play_child target)"
done
command -v parecord >/dev/null || fail "parecord is not installed (scripts/setup installs pulseaudio-utils)"
# The program's own choice: the server, not SDL.
unset SDL_AUDIODRIVER

# Prints the sink's latency in microseconds: how far ahead of the present it has rendered.
sink_latency() {
  timeout 5 pactl list sinks 2>/dev/null | awk -v name="$SERVER_SINK" '
    /^Sink #/ { mine = 0 }
    $1 == "Name:" && $2 == name { mine = 1 }
    mine && $1 == "Latency:" { print $2; exit }'
}

# Prints the properties of the Kestrune playback stream on the server.
stream_properties() {
  timeout 5 pactl list sink-inputs 2>/dev/null |
    awk '/^Sink Input #/ { found = "" } /(application\.name|media\.role) = / { found = found $1 $2 $3 " " }
         /application\.name = "Kestrune"/ { ours = 1 } ours && /^$/ { exit } END { if (ours) print found }'
}

server_start "$server"
if [ "$server" = pulseaudio ]; then
  pacat --playback --raw --rate=44100 --channels=2 --format=s16le --latency-msec=20 --device="$SERVER_SINK" \
    </dev/zero >"$SERVER_DIR/silence.log" 2>&1 &
  server_track $!
  deadline=$((SECONDS + 10))
  until [ "$(sink_latency)" -lt 30000 ] 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the sink's latency is $(sink_latency) us 10 s after a silent stream began"
    sleep 0.2
  done
fi
"$check_playback" sweep "$SERVER_DIR/sweep-3s.wav" 3 || fail "check_playback could not write the sweep"
"$check_playback" sweep "$SERVER_DIR/sweep-6s.wav" 6 || fail "check_playback could not write the sweep"

# NAME FILE [RESET_AFTER_MS]: records the monitor while play_child plays, then judges.
play() {
  local name=$1 file=$2 reset_ms=${3:-} recorder child rc stop properties deadline
  local rec=$SERVER_DIR/$name-recording.raw log=$SERVER_DIR/$name-child.txt
  # Raw: parecord's WAV writer leaves out silence.
  parecord --device="$SERVER_SINK.monitor" --rate=44100 --channels=2 --format=s16le --latency-msec=40 \
    --raw "$rec" </dev/null 2>"$SERVER_DIR/$name-parecord.log" &
  recorder=$!
  server_track "$recorder"
  deadline=$((SECONDS + 10))
  until timeout 5 pactl list short source-outputs 2>/dev/null | grep -q .; do
    _server_alive "$recorder" || { say "$name: FAILED: parecord exited"; return 1; }
    [ "$SECONDS" -lt "$deadline" ] || { say "$name: FAILED: parecord did not start recording"; return 1; }
    sleep 0.1
  done
  sleep 0.3 # the recorder runs steadily before the sound starts

  timeout -k 5 30 "$play_child" "$file" $reset_ms </dev/null >"$log" 2>"$SERVER_DIR/$name-child-stderr.log" &
  child=$!
  server_track "$child"
  properties=
  deadline=$((SECONDS + 3))
  while [ -z "$properties" ] && [ "$SECONDS" -lt "$deadline" ] && _server_alive "$child"; do
    properties=$(stream_properties)
    [ -n "$properties" ] || sleep 0.05
  done
  wait "$child"
  rc=$?
  server_end "$child"
  sleep 0.3 # the last sound reaches the recording
  stop=$(date +%s.%N)
  kill -TERM "$recorder"
  server_end "$recorder"

  case $rc in
    0) ;;
    124 | 137) say "$name: FAILED: play_child did not finish within 30 s"; return 1 ;;
    *) say "$name: FAILED: play_child exited with $rc: $(tail -n 1 "$SERVER_DIR/$name-child-stderr.log")"; return 1 ;;
  esac
  grep -qx 'output pulse' "$log" || { say "$name: FAILED: play_child did not play through the server"; return 1; }
  grep -q 'application.name="Kestrune"' <<<"$properties" && grep -q 'media.role="music"' <<<"$properties" ||
    { say "$name: FAILED: the stream is not Kestrune's music: ${properties:-none seen}"; return 1; }
  if ! "$check_playback" judge "$rec" "$file" "$log" "$stop" >"$SERVER_DIR/$name-check.log" 2>&1; then
    say "$name: FAILED:"
    sed "s/^/  /" "$SERVER_DIR/$name-check.log"
    return 1
  fi
  say "$name: passed:"
  sed "s/^/  /" "$SERVER_DIR/$name-check.log"
}

# NAME FILE [RESET_AFTER_MS]: plays, and once more when that failed. Without real-time
# scheduling (a container, a virtual machine) a server misses its deadlines while other work
# holds the cores, and the sound comes late or with holes; a fault of ours fails both times.
play_twice() {
  play "$@" && return 0
  say "$1: once more, in case the server only missed its deadlines"
  play "$@"
}

failures=()
play_twice whole "$SERVER_DIR/sweep-3s.wav" || failures+=(whole)
play_twice reset "$SERVER_DIR/sweep-6s.wav" 1500 || failures+=(reset)

[ ${#failures[@]} -eq 0 ] || fail "${#failures[@]} of 2 playbacks failed on $server: ${failures[*]}"
say "both playbacks passed on $server in ${SECONDS} s"
