#!/usr/bin/env bash
# The harness's parts (scripts/lib.sh) are private: with another X server holding :99 and a
# PulseAudio of someone else's running in its own runtime folder, three scripts start an X
# server, a PulseAudio, a session bus and a web server each, all at once. Each must get its own,
# none the other's; and when they end, one by a signal, everything they started is gone while the
# foreign servers run on.
set -euo pipefail
harness_name=harness
. "$(dirname "$0")/../../scripts/lib.sh"
for tool in Xvfb xdotool pulseaudio pactl dbus-daemon dbus-send; do
  command -v "$tool" > /dev/null || fail "$tool is missing (scripts/install-deps)"
done
use_run_folder
run=$part_dir

# Someone else's: Xvfb on :99 (unless another already holds it) and a PulseAudio, both started by
# hand, not by the harness.
x_answers() { DISPLAY=$1 xdotool getdisplaygeometry > /dev/null 2>&1; }
x99_answers() { x_answers :99; }
foreign_x=
if ! x99_answers; then
  Xvfb :99 -nolisten tcp > "$run/foreign-x.log" 2>&1 &
  foreign_x=$!
  own_process "$foreign_x"
fi
wait_for 10 "no X server answers on :99 (see $run/foreign-x.log)" x99_answers
mkdir -m 700 -p "$run/foreign/xdg"
XDG_RUNTIME_DIR=$run/foreign/xdg PULSE_RUNTIME_PATH=$run/foreign/xdg/pulse PULSE_STATE_PATH=$run/foreign/state \
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --load=module-null-sink \
  --load=module-native-protocol-unix > "$run/foreign-pulse.log" 2>&1 &
foreign_pulse=$!
own_process "$foreign_pulse"
foreign_address=unix:$run/foreign/xdg/pulse/native
await_sound_server "$foreign_pulse" "$foreign_address" "$run/foreign-pulse.log"
export DISPLAY=:99 XDG_RUNTIME_DIR=$run/foreign/xdg PULSE_SERVER=$foreign_address  # as a user's session would

# A user of the harness: says what it started in RUN/said, then waits for RUN/go.
user_script='
. "$1/scripts/lib.sh"
start_x_server 640x480
start_pulseaudio "$2/pulse"
start_session_bus "$2/bus"
mkdir -p "$2/site" && echo served > "$2/site/index.html"
start_http_server "$2/site"
echo "$x_display $x_pid $pulse_address $pulse_pid $DBUS_SESSION_BUS_ADDRESS $bus_pid $http_address $started_pid" > "$2/said.partial"
mv "$2/said.partial" "$2/said"
told=$2/go
go() { [ -e "$told" ]; }
wait_for 120 "never told to go" go'
users=()
for user in 1 2 3; do
  mkdir "$run/user$user"
  bash -c "$user_script" user "$tarnwick_root" "$run/user$user" > "$run/user$user/out.log" 2>&1 &
  users+=($!)
  own_process $!
done
all_said() { [ -e "$run/user1/said" ] && [ -e "$run/user2/said" ] && [ -e "$run/user3/said" ]; }
wait_for 60 "the harness's users did not start their parts (see $run/user*/out.log)" all_said

pids=()
displays=() addresses=() buses=() sites=()
for user in 1 2 3; do
  read -r display x_pid address pulse_pid bus bus_pid site http_pid < "$run/user$user/said"
  x_answers "$display" || fail "user $user's X server $display does not answer"
  [ "$display" != :99 ] || fail "user $user was given :99, someone else's"
  PULSE_SERVER=$address pactl info 2> /dev/null | grep -qxF "Server String: $address" ||
    fail "user $user's PulseAudio does not answer at $address"
  case "$address" in "unix:$run/user$user/pulse/"*) ;; *) fail "user $user's PulseAudio is not in its own folder: $address" ;; esac
  DBUS_SESSION_BUS_ADDRESS=$bus dbus-send --session --dest=org.freedesktop.DBus --print-reply / \
    org.freedesktop.DBus.GetId > /dev/null || fail "user $user's session bus does not answer at $bus"
  [ "$(python3 -c 'import sys, urllib.request; print(urllib.request.urlopen(sys.argv[1]).read().decode().strip())' "$site/index.html")" = served ] ||
    fail "user $user's web server does not serve its folder at $site"
  displays+=("$display") addresses+=("$address") buses+=("$bus") sites+=("$site")
  pids+=("$x_pid" "$pulse_pid" "$bus_pid" "$http_pid")
done
# A program connecting while another client comes and goes (xdotool polling for its windows) is
# never turned away: a server resetting as its last client leaves would drop it.
( for _ in $(seq 200); do x_answers "${displays[0]}" || true; done ) &
churn=$!
dropped=0
for _ in $(seq 200); do x_answers "${displays[0]}" || dropped=$((dropped + 1)); done
wait "$churn"
[ "$dropped" -eq 0 ] || fail "$dropped of 200 connections to ${displays[0]} dropped while another client came and went"
for list in displays addresses buses sites; do
  declare -n values=$list
  [ "$(printf '%s\n' "${values[@]}" | sort -u | wc -l)" -eq 3 ] || fail "two users share one of their $list: ${values[*]}"
done
[ "$(pactl info 2> /dev/null | sed -n 's/^Server String: //p')" = "$foreign_address" ] ||
  fail "the foreign PulseAudio does not answer any more"

# Users 1 and 2 end on their own, user 3 by a signal: whatever they started is gone.
touch "$run/user1/go" "$run/user2/go"
wait "${users[0]}" || fail "user 1 failed (see $run/user1/out.log)"
wait "${users[1]}" || fail "user 2 failed (see $run/user2/out.log)"
kill -TERM "${users[2]}"
wait "${users[2]}" && fail "user 3 ended with 0 after SIGTERM"
all_gone() {
  local pid
  for pid in "${pids[@]}"; do ! kill -0 "$pid" 2> /dev/null || return 1; done
}
wait_for 10 "parts the users started still run" all_gone
if [ -n "$foreign_x" ]; then kill -0 "$foreign_x" 2> /dev/null || fail "the foreign X server on :99 was stopped"; fi
x99_answers || fail "the X server on :99 does not answer any more"
kill -0 "$foreign_pulse" 2> /dev/null && sound_server_answers "$foreign_address" ||
  fail "the foreign PulseAudio was stopped"
say "3 users at once: 3 X servers (${displays[*]}), 3 PulseAudios, 3 session buses, 3 web servers, each its own; all stopped, :99 and the foreign PulseAudio still running"
