# shellcheck shell=bash
# Private sound servers for tests and benchmarks; `source` this file, don't run it.
#
#   server_start pulseaudio|pipewire   starts one, with a null sink whose monitor is the
#                                      default source, and points this shell's clients at it
#   server_play FILE                   plays FILE into that sink; returns once the sink runs
#   server_keep_running                a silent stream keeps PulseAudio's sink running at a
#                                      short latency, as a desktop's sound card runs
#   server_record_start RAW [MS]       parecord records the sink's monitor into RAW (16-bit
#                                      raw samples at the sink's rate and channels) in
#                                      fragments of MS (default 40) milliseconds; returns once
#                                      it records steadily
#   server_record_stop                 stops it a moment later, once the last sound is in;
#                                      SERVER_RECORD_STOP is then the system clock's seconds
#                                      at the recording's last frame
#   server_track PID                   has server_stop stop PID (a child of this shell) too
#   server_end PID                     stops a tracked PID now (TERM, then KILL) and reaps it
#   server_restart                     stops the server's daemons (as a crash or an update does)
#                                      and starts them again, with the sink and default source
#   server_stop                        stops all of it and removes its folder
#   say MESSAGE / fail MESSAGE         progress; failure (shows the logs, exits 1)
#
# After server_start: SERVER_DIR is the server's private folder (any *.log in it is shown when
# something fails, so callers may keep their own logs there), SERVER_SINK the sink's name and
# PULSE_SERVER the socket that pactl, paplay, parecord, ffmpeg and SDL will use.
#
# Each server gets its own runtime, home, configuration and state folders under one mktemp
# folder: nothing reaches a user's server or session bus, and no client may spawn a daemon.
# Both run in their default configurations. server_start sets traps so that the server is
# stopped however the script ends; a watchdog in a session of its own stops it even when the
# script is killed outright, or when its whole process group is.
#
# SERVER_TAG (default: the script's name) starts every message.

SERVER_SINK=kestrune_sink
SERVER_RATE=44100
SERVER_CHANNELS=2
SERVER_KIND=
SERVER_DIR=
_server_pid=      # leads the server's own process group
_server_watchdog=
_server_tracked=()
_server_recorder=
SERVER_RECORD_STOP=

say() { echo "${SERVER_TAG:-${0##*/}}: $*"; }

server_show_logs() {
  local log
  [ -n "$SERVER_DIR" ] && [ -d "$SERVER_DIR" ] || return 0
  for log in "$SERVER_DIR"/*.log; do
    [ -s "$log" ] || continue
    echo "---- ${log##*/} (last 40 lines) ----" >&2
    tail -n 40 "$log" >&2
  done
}

fail() {
  echo "${SERVER_TAG:-${0##*/}}: FAILED: $*" >&2
  server_show_logs
  exit 1
}

# True while the process runs; our own children stay zombies until waited for.
_server_alive() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [ "${stat:0:1}" != Z ]
}

_server_group_alive() {
  local pid
  for pid in $(pgrep -g "$1" 2>/dev/null); do
    _server_alive "$pid" && return 0
  done
  return 1
}

# PID: TERM, KILL after 5 s, reap. With -g, PID leads a process group and all of it goes.
_server_end() {
  local target alive what i
  if [ "$1" = -g ]; then
    shift
    target=-$1 alive=_server_group_alive what="process group $1"
  else
    target=$1 alive=_server_alive what="process $1"
  fi
  kill -TERM -- "$target" 2>/dev/null
  for ((i = 0; i < 50; i++)); do
    "$alive" "${target#-}" || break
    sleep 0.1
  done
  if "$alive" "${target#-}"; then
    say "$what ignored SIGTERM; killing it"
    kill -KILL -- "$target" 2>/dev/null
  fi
  wait "${target#-}" 2>/dev/null
}

server_track() { _server_tracked+=("$1"); }

server_end() {
  local kept=() pid
  for pid in "${_server_tracked[@]}"; do
    [ "$pid" = "$1" ] || kept+=("$pid")
  done
  _server_tracked=("${kept[@]}")
  _server_end "$1"
}

server_stop() {
  local i
  for ((i = ${#_server_tracked[@]} - 1; i >= 0; i--)); do
    _server_end "${_server_tracked[i]}"
  done
  _server_tracked=()
  [ -n "$_server_pid" ] && _server_end -g "$_server_pid"
  if [ -n "$_server_watchdog" ]; then
    kill "$_server_watchdog" 2>/dev/null
    wait "$_server_watchdog" 2>/dev/null
  fi
  [ -n "$SERVER_DIR" ] && rm -rf "$SERVER_DIR"
  _server_pid='' _server_watchdog='' SERVER_DIR='' SERVER_KIND=''
}

_server_on_exit() {
  local rc=$?
  trap - EXIT INT TERM
  server_stop
  exit "$rc"
}

_server_pactl() { timeout 5 pactl "$@"; }

# Prints the sink's state: RUNNING, IDLE or SUSPENDED.
server_sink_state() {
  _server_pactl list sinks 2>/dev/null | awk -v name="$SERVER_SINK" '
    /^Sink #/ { mine = 0; state = "" }
    $1 == "State:" { state = $2 }
    $1 == "Name:" && $2 == name { mine = 1 }
    mine && state != "" { print state; exit }'
}

server_start() { # pulseaudio|pipewire
  local kind=$1 tool socket deadline source
  [ -z "$_server_pid" ] || fail "server_start: a $SERVER_KIND server is already running"
  case $kind in
    pulseaudio) set -- pulseaudio ;;
    pipewire) set -- pipewire wireplumber pipewire-pulse dbus-run-session ;;
    *) fail "server_start: unknown server '$kind' (pulseaudio or pipewire)" ;;
  esac
  for tool in "$@" pactl paplay pgrep setsid timeout; do
    command -v "$tool" >/dev/null ||
      fail "$tool is not installed (scripts/setup installs the sound servers and their tools)"
  done

  SERVER_DIR=$(mktemp -d "${TMPDIR:-/tmp}/ks.XXXXXX") || fail "mktemp -d failed in ${TMPDIR:-/tmp}"
  SERVER_KIND=$kind
  trap _server_on_exit EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  socket=$SERVER_DIR/run/pulse/native
  # A unix socket's path holds at most 107 bytes.
  [ ${#socket} -lt 100 ] || fail "socket path $socket is too long; set TMPDIR to a shorter folder"
  # mktemp made the folder private to us; what lies inside needs no more.
  mkdir -p "$SERVER_DIR/run/pulse" "$SERVER_DIR/home" "$SERVER_DIR/state" ||
    fail "cannot create folders in $SERVER_DIR"
  printf 'autospawn = no\n' >"$SERVER_DIR/client.conf"

  export HOME=$SERVER_DIR/home
  export XDG_RUNTIME_DIR=$SERVER_DIR/run
  export XDG_CONFIG_HOME=$HOME/.config
  export XDG_STATE_HOME=$HOME/.local/state
  export XDG_DATA_HOME=$HOME/.local/share
  export XDG_CACHE_HOME=$HOME/.cache
  export PULSE_RUNTIME_PATH=$SERVER_DIR/run/pulse
  export PULSE_STATE_PATH=$SERVER_DIR/state
  export PULSE_CLIENTCONFIG=$SERVER_DIR/client.conf
  export PULSE_SERVER=unix:$socket
  # Clients need no bus; dbus-run-session gives PipeWire's daemons one of their own.
  export DBUS_SESSION_BUS_ADDRESS=disabled:
  unset DISPLAY WAYLAND_DISPLAY XDG_SESSION_ID XDG_SEAT XDG_VTNR \
    PULSE_COOKIE PULSE_SINK PULSE_SOURCE PULSE_PROP PULSE_LATENCY_MSEC PULSE_DBUS_SERVER \
    PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR PIPEWIRE_CONFIG_DIR PIPEWIRE_LATENCY \
    PIPEWIRE_QUANTUM PIPEWIRE_RATE PIPEWIRE_NODE PIPEWIRE_PROPS PIPEWIRE_DEBUG \
    WIREPLUMBER_CONFIG_DIR WIREPLUMBER_DATA_DIR WIREPLUMBER_CONFIG_FILE

  _server_launch "$kind"
}

server_restart() { # stops the server's daemons, as a crash or an update does, and starts them again
  [ -n "$_server_pid" ] || fail "server_restart: no server is running"
  _server_end -g "$_server_pid"
  kill "$_server_watchdog" 2>/dev/null
  wait "$_server_watchdog" 2>/dev/null
  rm -f "$XDG_RUNTIME_DIR/pulse/native" "$XDG_RUNTIME_DIR"/pipewire-0*
  _server_launch "$SERVER_KIND"
}

# With the environment server_start set: starts the daemons, the watchdog, the null sink and
# the default source.
_server_launch() { # pulseaudio|pipewire
  local kind=$1 socket=$SERVER_DIR/run/pulse/native deadline source
  # setsid: the server leads a process group of its own, so that stopping it takes its helpers
  # along (PipeWire's three daemons and their bus).
  if [ "$kind" = pulseaudio ]; then
    # -n -F /dev/null: no default.pa and no script, only the socket; the daemon settings are
    # the installed defaults (shared memory, real-time threads, CPU limit). As root it warns
    # that it is not meant to run as root, and runs.
    setsid pulseaudio -n -F /dev/null --daemonize=no --exit-idle-time=-1 --disallow-exit \
      --use-pid-file=false --log-target=stderr --log-level=info \
      -L "module-native-protocol-unix auth-anonymous=1 socket=$socket" \
      </dev/null >"$SERVER_DIR/pulseaudio.log" 2>&1 &
  else
    # wireplumber and pipewire-pulse connect to pipewire's socket at once and give up when it
    # is not there yet. Should any of the three exit, the shell does, dbus-run-session with it,
    # and the caller sees the server gone.
    # shellcheck disable=SC2016
    setsid dbus-run-session -- bash -c '
      pipewire >"$0/pipewire.log" 2>&1 &
      for ((i = 0; i < 100; i++)); do
        [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] && break
        sleep 0.1
      done
      wireplumber >"$0/wireplumber.log" 2>&1 &
      pipewire-pulse >"$0/pipewire-pulse.log" 2>&1 &
      wait -n
      echo "a PipeWire daemon exited"' "$SERVER_DIR" </dev/null >"$SERVER_DIR/dbus.log" 2>&1 &
  fi
  _server_pid=$!

  # If this script is killed outright (a test's timeout), the watchdog still stops the server.
  # Its own session keeps it out of a kill of our process group.
  # shellcheck disable=SC2016
  setsid bash -c '
    while kill -0 "$0" 2>/dev/null; do sleep 1; done
    kill -TERM -- "-$1"; sleep 3; kill -KILL -- "-$1"; rm -rf "$2"' \
    "$$" "$_server_pid" "$SERVER_DIR" </dev/null >/dev/null 2>&1 &
  _server_watchdog=$!

  say "waiting for $kind (process group $_server_pid) at $socket"
  deadline=$((SECONDS + 30))
  until _server_pactl info >/dev/null 2>&1; do
    _server_alive "$_server_pid" || fail "$kind exited during startup"
    [ "$SECONDS" -lt "$deadline" ] || fail "pactl info got no answer from $kind within 30 s"
    sleep 0.1
  done

  _server_pactl load-module module-null-sink "sink_name=$SERVER_SINK" \
    "rate=$SERVER_RATE" "channels=$SERVER_CHANNELS" >/dev/null ||
    fail "pactl load-module module-null-sink failed on $kind"
  # PipeWire creates the sink's node a moment after answering, and the default source lives
  # in a metadata object that wireplumber creates once it has started: repeat until it holds.
  deadline=$((SECONDS + 20))
  for ((;;)); do
    if _server_pactl list short sources 2>/dev/null | cut -f2 | grep -qx "$SERVER_SINK.monitor"; then
      _server_pactl set-default-source "$SERVER_SINK.monitor" >/dev/null 2>&1
      source=$(_server_pactl get-default-source 2>&1)
      [ "$source" = "$SERVER_SINK.monitor" ] && break
    fi
    _server_alive "$_server_pid" || fail "$kind exited while the null sink was set up"
    [ "$SECONDS" -lt "$deadline" ] ||
      fail "the default source is '${source:-?}', not $SERVER_SINK.monitor, 20 s after loading the null sink"
    sleep 0.2
  done
  say "$kind runs; the default source is $SERVER_SINK.monitor"
}

server_play() { # FILE: plays it into the sink with paplay's default latency
  local file=$1 player deadline state
  [ -n "$_server_pid" ] || fail "server_play: no server is running"
  [ -r "$file" ] || fail "server_play: cannot read $file"
  paplay --device="$SERVER_SINK" "$file" </dev/null >"$SERVER_DIR/paplay.log" 2>&1 &
  player=$!
  server_track "$player"
  deadline=$((SECONDS + 10))
  for ((;;)); do
    _server_alive "$player" || fail "paplay exited before $SERVER_SINK ran"
    state=$(server_sink_state)
    [ "$state" = RUNNING ] && break
    [ "$SECONDS" -lt "$deadline" ] || fail "$SERVER_SINK was not RUNNING 10 s after paplay started (state '${state:-?}')"
    sleep 0.1
  done
  say "${file##*/} plays into $SERVER_SINK"
}

# Prints the sink's latency in microseconds: how far ahead of the present it has rendered.
server_sink_latency() {
  _server_pactl list sinks 2>/dev/null | awk -v name="$SERVER_SINK" '
    /^Sink #/ { mine = 0 }
    $1 == "Name:" && $2 == name { mine = 1 }
    mine && $1 == "Latency:" { print $2; exit }'
}

# PulseAudio's idle null sink renders seconds of silence ahead, which a new stream would wait
# behind, and its monitor hands a recorder bursts instead of a steady stream; a sound card does
# neither. PipeWire's runs by its graph's clock in any case; a silent stream there would only
# shorten the graph's period, and with it the deadlines a busy machine misses.
server_keep_running() {
  local deadline
  [ -n "$_server_pid" ] || fail "server_keep_running: no server is running"
  [ "$SERVER_KIND" = pulseaudio ] || return 0
  pacat --playback --raw --rate="$SERVER_RATE" --channels="$SERVER_CHANNELS" --format=s16le --latency-msec=20 \
    --device="$SERVER_SINK" </dev/zero >"$SERVER_DIR/silence.log" 2>&1 &
  server_track $!
  deadline=$((SECONDS + 10))
  until [ "$(server_sink_latency)" -lt 30000 ] 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] ||
      fail "the sink's latency is $(server_sink_latency) us 10 s after a silent stream began"
    sleep 0.2
  done
}

server_record_start() { # RAW [MS]
  local raw=$1 fragment=${2:-40} deadline
  [ -n "$_server_pid" ] || fail "server_record_start: no server is running"
  # Raw: parecord's WAV writer leaves out silence. The recording's last frame is the moment the
  # recorder stops, within about a fragment; but short fragments make PipeWire run its graph in
  # short periods, whose deadlines a busy machine misses.
  parecord --device="$SERVER_SINK.monitor" --rate="$SERVER_RATE" --channels="$SERVER_CHANNELS" --format=s16le \
    --latency-msec="$fragment" --raw "$raw" </dev/null 2>"$raw.log" &
  _server_recorder=$!
  server_track "$_server_recorder"
  deadline=$((SECONDS + 10))
  until _server_pactl list short source-outputs 2>/dev/null | grep -q .; do
    _server_alive "$_server_recorder" || fail "parecord exited: $(tail -n 1 "$raw.log")"
    [ "$SECONDS" -lt "$deadline" ] || fail "parecord did not start recording within 10 s"
    sleep 0.1
  done
  sleep 0.3 # the recorder runs steadily before the sound starts
}

server_record_stop() {
  [ -n "$_server_recorder" ] || fail "server_record_stop: nothing is recording"
  sleep 0.3 # the last sound reaches the recording
  # shellcheck disable=SC2034 # read by the caller
  SERVER_RECORD_STOP=$(date +%s.%N)
  server_end "$_server_recorder"
  _server_recorder=
}
