#!/usr/bin/env bash
# The real program in a virtual X server, playing through a private PulseAudio whose output has
# 743 ms of real latency (latency_servers.sh, a 131072-byte FIFO): the scene switch at (9,0), the
# first picture that lays grain over all of the screen, must reach the screen within half a display
# period (60 Hz) of when the row is heard, either side. The screen is sampled about
# 1000 times a second (screen_watch); when the row was heard comes from the FIFO's recording.
#   screen_test.sh BUILD      (BUILD/bin: the program and its data; BUILD/tests: the rig)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: screen_test.sh BUILD}" && pwd)
programs=$build/tests
run=$build/latency-run/screen
seconds=85  # the switch comes 57.6 s into the music, after the splash and start-up
harness_name=latency
. "$here/../../scripts/lib.sh"
for program in "$programs/fifo_reader" "$programs/screen_watch" "$programs/module_row" "$build/bin/tarnwick"; do
  [ -x "$program" ] || fail "$program is missing (cmake --build $build)"
done
command -v pulseaudio > /dev/null || fail "pulseaudio is not installed (scripts/install-deps)"
rm -rf "$run"
mkdir -p "$run/show"
cp "$build/bin/tarnwick" "$build/bin/tarnwick.dat" "$build/bin/tarnwick.it" "$run/show/"

at_exit '"$here/latency_servers.sh" stop "$run/pulse" > /dev/null 2>&1'
address=$("$here/latency_servers.sh" pulse "$run/pulse" 131072 "$programs/fifo_reader") ||
  fail "PulseAudio could not start (see $run/pulse)"
start_x_server 1024x768 "$run"
export DISPLAY=$x_display

"$programs/screen_watch" "$seconds" "$run/screen.log" & watch_pid=$!
at_exit "kill $watch_pid 2> /dev/null"
(cd "$run/show" && PULSE_SERVER=$address XDG_RUNTIME_DIR=$run/pulse/xdg SDL_VIDEODRIVER=x11 \
  exec ./tarnwick > out.txt 2> err.txt) & show_pid=$!
at_exit "kill $show_pid 2> /dev/null"
wait "$watch_pid" || fail "the screen could not be watched"
kill -0 "$show_pid" 2> /dev/null || fail "the program ended early: $(cat "$run/show/err.txt")"
kill "$show_pid"
wait "$show_pid" 2> /dev/null || true
"$here/latency_servers.sh" stop "$run/pulse"

read -r start seen < <("$programs/module_row" "$run/show/tarnwick.it" 9 0 "$run/row.raw") ||
  fail "no row (9,0) in the module"
"$here/check_heard.py" screen "$run/pulse/heard.raw" "$run/row.raw" "$start" "$seen" "$run/screen.log" 60 \
  "the real program, scene switch at (9,0) through 743 ms of output latency" ||
  fail "the scene switch did not reach the screen in step with the sound (see $run)"
