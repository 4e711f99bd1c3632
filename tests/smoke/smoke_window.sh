#!/usr/bin/env bash
# The real program in a virtual X server of its own: it opens its titled window, Escape ends it
# with 0, and without its module it ends with 1 and says why. $1 is the programs' folder.
set -u
bin=$(cd "${1:?usage: smoke_window.sh BIN}" && pwd)
harness_name=smoke
. "$(dirname "$0")/../../scripts/lib.sh"
export SDL_AUDIODRIVER=dummy PULSE_SERVER=unix:/nonexistent/native  # no sound server, not the user's
export ASAN_OPTIONS=${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0  # leaks of X and GL libraries are not ours
unset WAYLAND_DISPLAY SDL_VIDEODRIVER
command -v xdotool > /dev/null || fail "xdotool is not installed (scripts/install-deps)"

use_run_folder
work=$part_dir
start_x_server 1024x768
export DISPLAY=$x_display
cp "$bin/tarnwick" "$bin/tarnwick.dat" "$bin/tarnwick.it" "$work/"
cd "$work"

./tarnwick > out.txt 2> err.txt &
pid=$!
at_exit "kill -KILL $pid 2> /dev/null"
at_exit '[ "$harness_status" -eq 0 ] || cat "$work/err.txt" >&2  # what the program said'
window_shown() { xdotool search --name "^$window_title\$" > /dev/null 2>&1; }
wait_for --while "$pid" 10 "no window titled $window_title" window_shown
# Escape is taken once the main loop runs, after the splash: pressed until the show has ended.
escape_ends() {
  xdotool key Escape 2> /dev/null
  ! kill -0 "$pid" 2> /dev/null
}
wait_for 30 "Escape did not end the show" escape_ends
wait "$pid"
code=$?
[ "$code" -eq 0 ] || { cat err.txt; fail "exit code $code after Escape, expected 0"; }
grep -q "Filesystem 3.10" out.txt || fail "no archive banner on standard output"

rm tarnwick.it
./tarnwick > out.txt 2> err.txt
code=$?
[ "$code" -eq 1 ] || fail "exit code $code without tarnwick.it, expected 1"
grep -q "Can't play the file" err.txt || { cat err.txt; fail "no \"Can't play the file\" on standard error"; }
say "window, Escape and the missing module behave"
