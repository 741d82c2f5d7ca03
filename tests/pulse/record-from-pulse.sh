#!/usr/bin/env bash
# Records from a real PulseAudio server. Starts a private daemon (its own runtime, state and
# home folders; nobody's configuration, no D-Bus) whose null sink's monitor is the default
# source, plays a 1 kHz tone into that sink, records 3 s through SDL's pulseaudio driver with
# record_child and lets check_tone judge the file. Stops the daemon and removes its folder
# however it ends, even when the script itself is killed.
#
# Usage: record-from-pulse.sh RECORD_CHILD CHECK_TONE TONE_WAV
set -uo pipefail
export LC_ALL=C # pactl's output is parsed below

sink=kestrune_test_sink
rate=44100
channels=2
tone_hz=1000
record_seconds=3

say() { echo "record-from-pulse: $*"; }

daemon_pid=
player_pid=
watchdog_pid=
rt=

show_log() { # FILE TITLE
  if [ -s "$1" ]; then
    echo "---- $2 (last 40 lines) ----" >&2
    tail -n 40 "$1" >&2
  fi
}

fail() {
  echo "record-from-pulse: FAILED: $*" >&2
  if [ -n "$rt" ]; then
    show_log "$rt/daemon.log" "pulseaudio log"
    show_log "$rt/paplay.log" "paplay output"
    show_log "$rt/child.out" "record_child stdout"
    show_log "$rt/child.err" "record_child stderr"
  fi
  exit 1
}

# True while the process runs (our own children stay as zombies until waited for).
alive() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [ "${stat:0:1}" != Z ]
}

stop() { # PID: TERM, then KILL after 5 s, then reap
  local pid=$1 i
  kill "$pid" 2>/dev/null
  for ((i = 0; i < 50; i++)); do
    alive "$pid" || break
    sleep 0.1
  done
  if alive "$pid"; then
    say "process $pid ignored SIGTERM; killing it"
    kill -9 "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
}

cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  if [ -n "$watchdog_pid" ]; then
    kill "$watchdog_pid" 2>/dev/null
    wait "$watchdog_pid" 2>/dev/null
  fi
  [ -n "$player_pid" ] && stop "$player_pid"
  [ -n "$daemon_pid" ] && stop "$daemon_pid"
  [ -n "$rt" ] && rm -rf "$rt"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

[ $# -eq 3 ] || fail "usage: $0 RECORD_CHILD CHECK_TONE TONE_WAV"
record_child=$1
check_tone=$2
tone_wav=$3
for program in "$record_child" "$check_tone" "$tone_wav"; do
  [ -x "$program" ] || fail "$program is not an executable (build the record_child target)"
done
for tool in pulseaudio pactl paplay timeout; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs pulseaudio and pulseaudio-utils)"
done

rt=$(mktemp -d "${TMPDIR:-/tmp}/kestrune-pulse.XXXXXX") || fail "mktemp -d failed"
socket=$rt/run/pulse/native
# A unix socket path holds at most 107 bytes.
[ ${#socket} -lt 100 ] || fail "socket path $socket is too long; set TMPDIR to a shorter folder"
mkdir -m 700 -p "$rt/run/pulse" "$rt/home" "$rt/state" || fail "cannot create folders in $rt"

# Everything the daemon and its clients look at points into $rt; nothing reaches a user's
# server, configuration or session bus, and no client may spawn a daemon of its own.
printf 'autospawn = no\n' >"$rt/client.conf"
export HOME=$rt/home
export XDG_RUNTIME_DIR=$rt/run
export XDG_CONFIG_HOME=$rt/home/.config
export XDG_STATE_HOME=$rt/home/.local/state
export XDG_CACHE_HOME=$rt/home/.cache
export PULSE_RUNTIME_PATH=$rt/run/pulse
export PULSE_STATE_PATH=$rt/state
export PULSE_CLIENTCONFIG=$rt/client.conf
export PULSE_SERVER=unix:$socket
export DBUS_SESSION_BUS_ADDRESS=disabled:
unset DISPLAY WAYLAND_DISPLAY PULSE_COOKIE PULSE_SINK PULSE_SOURCE PULSE_PROP PULSE_LATENCY_MSEC

# -n: no default.pa; -F /dev/null: no script either, only the two modules given here.
# As root it only warns that it is "not intended to be run as root"; no --system is needed.
# --no-cpu-limit and --disable-shm keep it alive on a loaded machine and in containers
# without a usable /dev/shm.
pulseaudio -n -F /dev/null --daemonize=no --exit-idle-time=-1 --disallow-exit \
  --use-pid-file=false --realtime=false --high-priority=false --no-cpu-limit=true \
  --disable-shm=true --log-target=stderr --log-level=info \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$socket" \
  -L "module-null-sink sink_name=$sink rate=$rate channels=$channels" \
  </dev/null >"$rt/daemon.log" 2>&1 &
daemon_pid=$!

# Should this script be killed outright (a test timeout), the watchdog still stops the daemon.
script_pid=$$
(
  while kill -0 "$script_pid" 2>/dev/null; do sleep 1; done
  kill "$daemon_pid" 2>/dev/null
  sleep 3
  kill -9 "$daemon_pid" 2>/dev/null
  rm -rf "$rt"
) </dev/null >/dev/null 2>&1 &
watchdog_pid=$!

say "waiting for the daemon (pid $daemon_pid) at $socket"
deadline=$((SECONDS + 20))
until timeout 5 pactl info >/dev/null 2>&1; do
  alive "$daemon_pid" || fail "pulseaudio exited during startup"
  [ "$SECONDS" -lt "$deadline" ] || fail "pactl info got no answer within 20 s"
  sleep 0.1
done

timeout 5 pactl set-default-source "$sink.monitor" || fail "pactl set-default-source $sink.monitor failed"
default_source=$(timeout 5 pactl get-default-source 2>&1)
[ "$default_source" = "$sink.monitor" ] || fail "default source is '$default_source', not $sink.monitor"

"$tone_wav" "$rt/tone.wav" 60 "$tone_hz" "$rate" "$channels" || fail "tone_wav could not write the tone"
# A short client latency: the null sink then renders only that far ahead of its clock.
paplay --latency-msec=50 --device="$sink" "$rt/tone.wav" </dev/null >"$rt/paplay.log" 2>&1 &
player_pid=$!

# Idle, the null sink renders up to 2 s ahead; a capture that connects before that has run
# out gets nothing until then. Wait until the sink runs close to its clock.
sink_state() { # prints "STATE LATENCY_USEC" of our sink
  timeout 5 pactl list sinks 2>/dev/null | awk -v name="$sink" '
    /^Sink #/ { mine = 0; state = "" }
    $1 == "State:" { state = $2 }
    $1 == "Name:" && $2 == name { mine = 1 }
    mine && $1 == "Latency:" { print state, $2; exit }'
}
deadline=$((SECONDS + 10))
for ((;;)); do
  alive "$player_pid" || fail "paplay exited before playing"
  read -r state latency <<<"$(sink_state)"
  [ "${state:-}" = RUNNING ] && [ -n "${latency:-}" ] && [ "$latency" -lt 100000 ] 2>/dev/null && break
  [ "$SECONDS" -lt "$deadline" ] || fail "$sink was not RUNNING within 100 ms of its clock 10 s after paplay started (state '${state:-?}', latency '${latency:-?}' usec)"
  sleep 0.1
done
say "the tone plays into $sink"

out=$rt/out.wav
SDL_AUDIODRIVER=pulseaudio timeout -k 5 30 \
  "$record_child" 0 "$rate" "$channels" 0 "$out" "$record_seconds" >"$rt/child.out" 2>"$rt/child.err"
child_rc=$?
case $child_rc in
  0) ;;
  2) fail "StartRecord refused (most likely SDL's pulseaudio driver could not open the default source)" ;;
  124 | 137) fail "record_child did not finish a ${record_seconds} s recording within 30 s" ;;
  *) fail "record_child exited with $child_rc" ;;
esac
grep -qx recording "$rt/child.out" || fail "record_child never printed 'recording'"
[ -s "$out" ] || fail "record_child left no file at $out"

"$check_tone" "$out" "$tone_hz" 2.5 || fail "the ${tone_hz} Hz tone is not in the recording"
say "passed in ${SECONDS} s"
