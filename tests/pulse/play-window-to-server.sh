#!/usr/bin/env bash
# Listens to the main window playing through a real sound server: a private PulseAudio, or a
# private PipeWire with wireplumber and pipewire-pulse. A 6 s sweep (check_playback's: every
# moment of it differs from every other) is played as WAV, as MP3 (128 kbit/s) and as WMA
# (64 kbit/s) by play_window while parecord records the null sink's monitor, twice each:
#   whole    Play, to the end: the recording holds the sweep once, whole, in order, without a
#            gap, and sounds as long as the file (within 50 ms)
#   moves    Play, a seek to 3 s after a second, a pause a second later, Resume after another:
#            after the seek the sweep goes on from 3 s (as near as the knob's pixels come); after
#            the pause from the position the window kept at the pause, repeating at most what
#            was queued (16 buffers)
# check_playback follow maps the recording onto the file as FFmpeg decodes it (what the file
# holds: a lossy encoder moves and trims the sweep's ends) and judges the map.
#
# Usage: play-window-to-server.sh pulseaudio|pipewire PLAY_WINDOW CHECK_PLAYBACK
set -uo pipefail
export LC_ALL=C # decimals with a dot

SERVER_TAG="play-window-to-${1:-server}" # read by servers.sh
# shellcheck source=servers.sh
source "$(dirname "$0")/servers.sh"

[ $# -eq 3 ] && [ -x "$2" ] && [ -x "$3" ] ||
  fail "usage: $0 pulseaudio|pipewire PLAY_WINDOW CHECK_PLAYBACK (programs built by the play_window target)"
play_window=$2 check_playback=$3
for tool in ffmpeg parecord pacat; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done
unset SDL_AUDIODRIVER # the program's own choice: the server, not SDL

server_start "$1"
server_keep_running
sweep=$SERVER_DIR/sweep-6s.wav
"$check_playback" sweep "$sweep" 6 || fail "check_playback could not write the sweep"
ffmpeg -nostdin -v error -i "$sweep" -c:a libmp3lame -b:a 128k "$SERVER_DIR/sweep-6s.mp3" ||
  fail "ffmpeg could not encode the sweep as MP3"
ffmpeg -nostdin -v error -i "$sweep" -c:a wmav2 -b:a 64k "$SERVER_DIR/sweep-6s.wma" ||
  fail "ffmpeg could not encode the sweep as WMA"

# The events of a play_window log, as check_playback follow takes them: each seek with the
# position the window took from the knob (a pixel of the knob is the length / 340: 17.6 ms), each
# resume with the position the window kept at the pause before it.
events_of() {
  awk '$2 == "play" || $2 ~ /^seek:/ { command = $2; next }
       $2 == "position" && command == "play" && ++plays > 1 {
         if (plays % 2 == 0) kept = $3; else printf " resume:%s", kept }
       $2 == "position" && command ~ /^seek:/ { printf " seek:%s", $3 }
       $2 == "position" { command = "" }' "$1"
}

# NAME FILE [COMMAND@SECONDS ...]: records the monitor while play_window plays FILE, then
# judges the recording against FILE.
listen() {
  local name=$1 file=$2 rc events
  shift 2
  local rec=$SERVER_DIR/$name.raw log=$SERVER_DIR/$name-window.txt
  server_record_start "$rec"
  timeout -k 5 30 "$play_window" "$file" "$@" </dev/null >"$log" 2>"$SERVER_DIR/$name-window.log"
  rc=$?
  server_record_stop
  case $rc in
    0) ;;
    124 | 137) say "$name: FAILED: play_window did not finish within 30 s"; return 1 ;;
    *) say "$name: FAILED: play_window exited with $rc: $(tail -n 1 "$SERVER_DIR/$name-window.log")"; return 1 ;;
  esac
  grep -q ' ended$' "$log" || { say "$name: FAILED: the window never came back to the ready state"; return 1; }
  events=$(events_of "$log")
  # shellcheck disable=SC2086 # one word per event
  # A window of the recording may differ from the file by a tenth of its level: a server that
  # resamples or mixes in floating point changes it slightly, a moved window by far more.
  if ! "$check_playback" follow "$rec" "$file" 0.1 $events >"$SERVER_DIR/$name-check.log" 2>&1; then
    say "$name: FAILED (window: $(tr '\n' ' ' <"$log")):"
    sed "s/^/  /" "$SERVER_DIR/$name-check.log"
    return 1
  fi
  say "$name: passed:"
  sed "s/^/  /" "$SERVER_DIR/$name-check.log"
}

# NAME FILE [COMMAND@SECONDS ...]: listens, and once more when that failed. Without real-time
# scheduling (a container, a virtual machine) a server misses its deadlines while other work
# holds the cores, and a period of sound comes late; a fault of ours fails both times.
listen_twice() {
  listen "$@" && return 0
  say "$1: once more, in case the server only missed its deadlines"
  listen "$@"
}

failures=()
for ext in wav mp3 wma; do
  file=$SERVER_DIR/sweep-6s.$ext
  listen_twice "$ext-whole" "$file" || failures+=("$ext-whole")
  listen_twice "$ext-moves" "$file" play@0.2 seek:3000@1.2 play@2.2 play@3.2 || failures+=("$ext-moves")
done

[ ${#failures[@]} -eq 0 ] || fail "${#failures[@]} of 6 playbacks failed on $SERVER_KIND: ${failures[*]}"
say "all 6 playbacks passed on $SERVER_KIND in ${SECONDS} s"
