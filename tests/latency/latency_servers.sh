#!/usr/bin/env bash
# Private sound servers for the latency tests, never the user's: each in RUN/xdg (mode 700), its
# configuration and state under RUN, stopped by "stop". Any program given the printed address (as
# PULSE_SERVER, or with XDG_RUNTIME_DIR=RUN/xdg) plays through it: the program under test, a
# browser.
#
#   latency_servers.sh pulse RUN BYTES READER
#     PulseAudio (pulseaudio -n) with only module-native-protocol-unix and a module-pipe-sink into
#     the FIFO RUN/sink.fifo of BYTES bytes (a power of two, 4096 and up; 4096 is 23 ms). READER
#     (the fifo_reader program) consumes it at exactly 44100 frames a second like a sound card,
#     so the FIFO's fill is real latency: RUN/heard.raw holds what was heard, 16-bit stereo, slot
#     s heard at the monotonic time in RUN/heard.raw.t0 (ns, written on stop) plus s/44100 s.
#   latency_servers.sh pipewire RUN
#     pipewire, wireplumber and pipewire-pulse on a session D-Bus of their own, with two sinks:
#     "plain" (a null sink) and "late" (a null ALSA node reporting 300 ms of its own latency).
#   latency_servers.sh restart RUN
#     Stops the PulseAudio started in RUN and starts it again into the same FIFO and reader: a
#     sound server restarted under a program that plays through it.
#   latency_servers.sh stop RUN
#     Stops what was started in RUN, the reader last (it then writes heard.raw.t0).
#
# Prints the server address (unix:PATH) on standard output; failures go to standard error with the
# log to look at, and exit 1.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage() { echo "usage: latency_servers.sh pulse RUN BYTES READER | restart RUN | pipewire RUN | stop RUN" >&2; exit 2; }
[ $# -ge 2 ] || usage
kind=$1
run=$(mkdir -p "$2" && cd "$2" && pwd)
fail() { echo "latency_servers: $*" >&2; "$0" stop "$run" >/dev/null 2>&1 || true; exit 1; }

private_folders() {
  mkdir -p "$run/xdg" "$run/config" "$run/state"
  chmod 700 "$run/xdg"
  export XDG_RUNTIME_DIR=$run/xdg XDG_CONFIG_HOME=$run/config XDG_STATE_HOME=$run/state
  export PULSE_RUNTIME_PATH=$run/xdg/pulse PULSE_STATE_PATH=$run/state/pulse
  export PULSE_SERVER=unix:$run/xdg/pulse/native
  unset PIPEWIRE_REMOTE PULSE_COOKIE
}

# Starts a program in the background with its own log; its pid goes to RUN/NAME.pid.
start() {
  local name=$1
  shift
  "$@" > "$run/$name.log" 2>&1 &
  echo $! > "$run/$name.pid"
}

# Waits until the server answers, or its process is gone.
await_server() {
  local name=$1
  for _ in $(seq 100); do
    pactl info > /dev/null 2>&1 && return 0
    kill -0 "$(cat "$run/$name.pid")" 2>/dev/null || break
    sleep 0.05
  done
  fail "$name did not answer on $PULSE_SERVER (see $run/$name.log)"
}

stop_pid() {
  local file=$run/$1.pid
  [ -f "$file" ] || return 0
  local pid
  pid=$(cat "$file")
  rm -f "$file"
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.05
  done
  kill -9 "$pid" 2>/dev/null || true
}

start_pulseaudio() {
  start pulseaudio pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --realtime=yes \
    --log-target=stderr \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$run/xdg/pulse/native" \
    --load="module-pipe-sink file=$run/sink.fifo sink_name=fifo format=s16le rate=44100 channels=2"
  await_server pulseaudio
}

case "$kind" in
  pulse)
    [ $# -eq 4 ] || usage
    bytes=$3 reader=$4
    command -v pulseaudio > /dev/null || fail "pulseaudio is not installed (scripts/install-deps)"
    private_folders
    rm -f "$run/sink.fifo" "$run/heard.raw" "$run/heard.raw.t0"
    mkfifo "$run/sink.fifo"
    # The reader sizes the FIFO before the sink opens it, and holds it open from then on. A card
    # plays on time whatever the load: real-time scheduling where allowed, for it and the server.
    realtime=()
    chrt -f 10 true 2> /dev/null && realtime=(chrt -f 10)
    start reader "${realtime[@]}" "$reader" "$run/sink.fifo" "$bytes" "$run/heard.raw"
    for _ in $(seq 100); do
      grep -q '^ready' "$run/reader.log" 2>/dev/null && break
      kill -0 "$(cat "$run/reader.pid")" 2>/dev/null || fail "the FIFO reader failed: $(cat "$run/reader.log")"
      sleep 0.02
    done
    grep -q "^ready $bytes\$" "$run/reader.log" || fail "the FIFO is not $bytes bytes: $(cat "$run/reader.log")"
    start_pulseaudio
    ;;
  restart)
    [ $# -eq 2 ] || usage
    private_folders
    stop_pid pulseaudio
    start_pulseaudio
    ;;
  pipewire)
    [ $# -eq 2 ] || usage
    for program in pipewire wireplumber pipewire-pulse dbus-daemon; do
      command -v "$program" > /dev/null || fail "$program is not installed (scripts/install-deps)"
    done
    private_folders
    export PIPEWIRE_RUNTIME_DIR=$run/xdg
    mkdir -p "$run/config/pipewire/pipewire.conf.d"
    cp "$here/pipewire_sinks.conf" "$run/config/pipewire/pipewire.conf.d/"
    dbus-daemon --session --fork --address="unix:path=$run/xdg/bus" --print-pid=3 3> "$run/dbus.pid" \
      > "$run/dbus.log" 2>&1 || fail "the session D-Bus did not start (see $run/dbus.log)"
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$run/xdg/bus
    start pipewire pipewire
    for _ in $(seq 100); do
      [ -S "$run/xdg/pipewire-0" ] && break
      sleep 0.05
    done
    [ -S "$run/xdg/pipewire-0" ] || fail "pipewire did not start (see $run/pipewire.log)"
    start wireplumber wireplumber
    start pipewire-pulse pipewire-pulse
    await_server pipewire-pulse
    for _ in $(seq 100); do
      pactl list short sinks 2>/dev/null | grep -q late && break
      sleep 0.05
    done
    pactl list short sinks | grep -q late || fail "the sinks did not appear (see $run/pipewire.log)"
    ;;
  stop)
    for name in pipewire-pulse wireplumber pipewire pulseaudio dbus reader; do
      stop_pid "$name"
    done
    exit 0
    ;;
  *) usage ;;
esac
echo "$PULSE_SERVER"
