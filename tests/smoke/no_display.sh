#!/usr/bin/env bash
# The real program with no display to show on: SDL would fall back to a driver that draws into
# memory, and the show would play to nobody. It must end with 1, say why, and show the popup's
# text where no popup can be shown; asked for by name, that driver is still taken.
#   tests/smoke/no_display.sh BIN   (BIN holds tarnwick and the show data)
set -u
bin=$(cd "${1:?usage: no_display.sh BIN}" && pwd)
harness_name="no display"
. "$(dirname "$0")/../../scripts/lib.sh"
export SDL_AUDIODRIVER=dummy PULSE_SERVER=unix:/nonexistent/native  # no sound server, not the user's
export ASAN_OPTIONS=${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0  # leaks of X and GL libraries are not ours
unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER

use_run_folder
work=$part_dir
cp "$bin/tarnwick" "$bin/tarnwick.dat" "$bin/tarnwick.it" "$work/"
cd "$work"
at_exit '[ "$harness_status" -eq 0 ] || cat "$work/err.txt" >&2  # what the program said'

timeout 60 ./tarnwick > out.txt 2> err.txt
code=$?
[ "$code" -eq 1 ] || fail "exit code $code, expected 1"
line="Can't create the window: no display to show on (DISPLAY and WAYLAND_DISPLAY are not set)"
grep -qxF "$line" err.txt || fail "no line \"$line\""
grep -q "^$window_title: " err.txt || fail "the popup's text was not shown"

started() { grep -q "Filesystem 3.10" out.txt; }
for driver in offscreen dummy wayland,offscreen; do
  SDL_VIDEODRIVER=$driver ./tarnwick > out.txt 2> err.txt &
  pid=$!
  at_exit "kill -KILL $pid 2> /dev/null"
  wait_for --while "$pid" 10 "SDL_VIDEODRIVER=$driver was asked for, but the show did not start" started
  kill -KILL "$pid"  # SIGTERM would wait for the splash to end
  wait "$pid" 2> /dev/null
done
say "refused, said why, and the drivers asked for by name are taken"
