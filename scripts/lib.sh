# Shared by the scripts: source it, with the working directory anywhere.
#   . "$(dirname "$0")/lib.sh"

tarnwick_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The show data (tarnwick.dat, tarnwick.it) is made by the native build's generators, which every
# other build copies: configure the native release build and build only that, with JOBS jobs.
build_native_show_data() {
  cmake -S "$tarnwick_root" -B "$tarnwick_root/build" -DCMAKE_BUILD_TYPE=Release > /dev/null
  cmake --build "$tarnwick_root/build" -j"${1:-2}" --target show_data show_archive > /dev/null
}

# The frame of the show (presents counted from 1 at 60 Hz) that the web page's preview shows: the
# show's name over the textured sphere.
web_preview_frame=10200

# utime + stime of process PID, all its threads, in clock ticks. The name in /proc/PID/stat may
# hold spaces, so the fields are counted after its closing parenthesis.
cpu_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  set -- ${stat##*) }
  echo $(( ${12} + ${13} ))
}

# TICKS of CPU time over MS milliseconds of wall time, in tenths of a percent of one core.
share_tenths() {
  echo $(( $1 * 1000000 / ($(getconf CLK_TCK) * $2) ))
}

# sudo for the package manager's commands, or nothing when running as root.
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# Emscripten's optimiser needs Debian's acorn; configure scripts must not meet node's fetch.
use_debian_node() {
  export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
  export NODE_OPTIONS=--no-experimental-fetch
}

# --- The harness: how every script says what failed, waits, and starts the real parts it tests
# against (X server, sound server, session bus, web server), each private to it and stopped by
# the process id it started, on the way out whatever the way.

# The name a script's lines start with; a script may set it before sourcing this.
harness_name=${harness_name:-$(basename "$0" .sh)}
say() { echo "$harness_name: $*"; }
fail() {
  echo "$harness_name: FAILED: $*" >&2
  exit 1
}

# The window's title, as the program has it, for the tests that look for its windows.
window_title=$(sed -n 's/.*window_title = "\(.*\)";.*/\1/p' "$tarnwick_root/resources/resources.h")

# Whether process PID still runs (a child that has ended but was not waited for does not).
process_alive() { [ -e "/proc/$1" ] && ! grep -q '^[0-9]* (.*) Z' "/proc/$1/stat" 2> /dev/null; }

# wait_for [--while PID] SECONDS MESSAGE COMMAND...: runs COMMAND every 50 ms until it succeeds;
# fails with MESSAGE after SECONDS, or as soon as process PID has ended.
wait_for() {
  # Its names are its own: the condition may read the caller's pid, seconds or message.
  local wait_pid= wait_seconds wait_message wait_deadline
  if [ "$1" = --while ]; then
    wait_pid=$2
    shift 2
  fi
  wait_seconds=$1 wait_message=$2
  wait_deadline=$(($(date +%s%N) + wait_seconds * 1000000000))
  shift 2
  until "$@"; do
    [ -z "$wait_pid" ] || process_alive "$wait_pid" || fail "$wait_message (its process ended)"
    [ "$(date +%s%N)" -lt "$wait_deadline" ] || fail "$wait_message (within $wait_seconds s)"
    sleep 0.05
  done
}

# Stops process PID: TERM, then KILL after 5 s.
stop_process() {
  kill "$1" 2> /dev/null || return 0
  for _ in $(seq 100); do
    process_alive "$1" || return 0
    sleep 0.05
  done
  kill -KILL "$1" 2> /dev/null || true
}

# What runs on the way out, whatever the way: commands given to at_exit, last first, then every
# process given to own_process (all that start_part starts), last first. A script sets no EXIT
# trap of its own; one that starts parts for another to stop later (latency_servers.sh) empties
# harness_pids once they are handed over.
harness_exit=()
harness_pids=()
at_exit() { harness_exit+=("$*"); }
own_process() { harness_pids+=("$1"); }
harness_stop_all() {
  harness_status=$?  # for at_exit's commands that speak only of a failure
  local i
  for ((i = ${#harness_exit[@]} - 1; i >= 0; i--)); do eval "${harness_exit[i]}" || true; done
  for ((i = ${#harness_pids[@]} - 1; i >= 0; i--)); do stop_process "${harness_pids[i]}"; done
  [ -z "${harness_folder:-}" ] || rm -rf "$harness_folder"
}
trap harness_stop_all EXIT
trap 'exit 1' TERM INT HUP

# Where started parts keep their pid files and logs: sets part_dir to RUN (made) if given, else
# to a folder of this script's own, removed on the way out.
harness_folder=
use_run_folder() {
  if [ -n "${1:-}" ]; then
    mkdir -p "$1"
    part_dir=$(cd "$1" && pwd)
  else
    [ -n "$harness_folder" ] || harness_folder=$(mktemp -d)
    part_dir=$harness_folder
  fi
}

# Stops the process whose id FILE holds, for a script that did not start it itself.
stop_pid_file() {
  [ -f "$1" ] || return 0
  local pid
  pid=$(cat "$1")
  rm -f "$1"
  stop_process "$pid"
}

# start_part RUN NAME COMMAND...: COMMAND in the background, its output in RUN/NAME.log, its
# id in RUN/NAME.pid and in started_pid; stopped on the way out unless stopped before.
start_part() {
  local run=$1 name=$2
  shift 2
  "$@" > "$run/$name.log" 2>&1 &
  started_pid=$!
  echo "$started_pid" > "$run/$name.pid"
  own_process "$started_pid"
}

# start_x_server [SIZE [RUN]]: a virtual X server of its own (WIDTHxHEIGHT, 1024x768 unless
# said) on a display Xvfb picks itself (-displayfd: free, and nothing can take it meanwhile).
# -noreset: a server resetting as its last client leaves drops a client connecting meanwhile
# (xdotool polling beside a program starting lost 11 connections in 400).
# Sets x_display (":N") and x_pid; a second call in the same RUN makes another.
start_x_server() {
  local size=${1:-1024x768} run name
  command -v Xvfb > /dev/null || fail "Xvfb is not installed (scripts/install-deps)"
  use_run_folder "${2:-}"
  run=$part_dir
  name=xvfb-$size-$$-$((++harness_x_servers))
  exec {harness_fd}> "$run/$name.display"
  start_part "$run" "$name" Xvfb -displayfd "$harness_fd" -screen 0 "${size}x24" -nolisten tcp -noreset
  exec {harness_fd}>&-
  x_pid=$started_pid
  wait_for --while "$x_pid" 10 "Xvfb did not give a display (see $run/$name.log)" test -s "$run/$name.display"
  x_display=:$(head -n 1 "$run/$name.display")
}
harness_x_servers=0

# The environment that keeps a sound server and its clients in RUN's folders (RUN/xdg, mode 700,
# configuration and state beside it), never the user's: sets private_env (NAME=VALUE words).
private_folders() {
  mkdir -p "$1/xdg" "$1/config" "$1/state"
  chmod 700 "$1/xdg"
  private_env=(XDG_RUNTIME_DIR="$1/xdg" XDG_CONFIG_HOME="$1/config" XDG_STATE_HOME="$1/state"
    PULSE_RUNTIME_PATH="$1/xdg/pulse" PULSE_STATE_PATH="$1/state/pulse" PULSE_SERVER="unix:$1/xdg/pulse/native")
}
# The same for everything this script starts from now on.
use_private_folders() {
  private_folders "$1"
  export "${private_env[@]}"
  unset PIPEWIRE_REMOTE PULSE_COOKIE
}

# Waits until the sound server of process PID answers at ADDRESS (its log LOG).
sound_server_answers() { PULSE_SERVER=$1 pactl info > /dev/null 2>&1; }
await_sound_server() {
  wait_for --while "$1" 10 "the sound server did not answer on $2 (see $3)" sound_server_answers "$2"
}

# start_pulseaudio RUN [MODULE...]: PulseAudio of its own in RUN's private folders with the given
# modules (a null sink unless told), leaving this script's environment as it was; sets
# pulse_address (for PULSE_SERVER, or XDG_RUNTIME_DIR=RUN/xdg finds it) and pulse_pid.
start_pulseaudio() {
  local run
  use_run_folder "$1"
  run=$part_dir
  shift
  [ $# -gt 0 ] || set -- module-null-sink
  command -v pulseaudio > /dev/null || fail "pulseaudio is not installed (scripts/install-deps)"
  private_folders "$run"
  pulse_address=unix:$run/xdg/pulse/native
  local loads=(--load="module-native-protocol-unix auth-anonymous=1 socket=$run/xdg/pulse/native")
  local module
  for module in "$@"; do loads+=(--load="$module"); done
  start_part "$run" pulseaudio env -u PULSE_COOKIE -u PIPEWIRE_REMOTE "${private_env[@]}" \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --realtime=yes --log-target=stderr "${loads[@]}"
  pulse_pid=$started_pid
  await_sound_server "$pulse_pid" "$pulse_address" "$run/pulseaudio.log"
}

# start_session_bus RUN: a D-Bus session bus of its own at RUN/xdg/bus; exports its address,
# sets bus_pid.
start_session_bus() {
  local run
  use_run_folder "$1"
  run=$part_dir
  mkdir -p "$run/xdg"
  command -v dbus-daemon > /dev/null || fail "dbus-daemon is not installed (scripts/install-deps)"
  dbus-daemon --session --fork --address="unix:path=$run/xdg/bus" --print-pid=3 3> "$run/dbus.pid" \
    > "$run/dbus.log" 2>&1 || fail "the session bus did not start (see $run/dbus.log)"
  bus_pid=$(cat "$run/dbus.pid")
  own_process "$bus_pid"
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$run/xdg/bus
}

# start_http_server DIR [RUN]: a static web server of DIR on 127.0.0.1, on a port the system
# picks when it binds (so free); sets http_address (http://127.0.0.1:PORT).
start_http_server() {
  local run
  use_run_folder "${2:-}"
  run=$part_dir
  start_part "$run" http python3 -u -c '
import functools, http.server, sys
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
print("port", server.server_address[1], flush=True)
server.serve_forever()' "$1"
  wait_for --while "$started_pid" 10 "the web server did not start (see $run/http.log)" \
    grep -q '^port ' "$run/http.log"
  http_address=http://127.0.0.1:$(sed -n 's/^port //p' "$run/http.log" | head -n 1)
}
