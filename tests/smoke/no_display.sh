#!/usr/bin/env bash
# The real program with no display to show on: SDL would fall back to a driver that draws into
# memory, and the show would play to nobody. It must end with 1, say why, and show the popup's
# text where no popup can be shown; asked for by name, that driver is still taken.
#   tests/smoke/no_display.sh BIN   (BIN holds tarnwick and the show data)
set -u
bin=$(cd "${1:?usage: no_display.sh BIN}" && pwd)
export SDL_AUDIODRIVER=dummy PULSE_SERVER=unix:/nonexistent/native  # no sound server, not the user's
export ASAN_OPTIONS=${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0  # leaks of X and GL libraries are not ours
unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER
fail() { echo "no display: $*"; exit 1; }

work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cp "$bin/tarnwick" "$bin/tarnwick.dat" "$bin/tarnwick.it" "$work/"
cd "$work"

timeout 60 ./tarnwick > out.txt 2> err.txt
code=$?
[ "$code" -eq 1 ] || { cat err.txt; fail "exit code $code, expected 1"; }
line="Can't create the window: no display to show on (DISPLAY and WAYLAND_DISPLAY are not set)"
grep -qxF "$line" err.txt || { cat err.txt; fail "no line \"$line\""; }
grep -q "^TORVAN TEST PROGRAM: " err.txt || { cat err.txt; fail "the popup's text was not shown"; }

for driver in offscreen dummy wayland,offscreen; do
  SDL_VIDEODRIVER=$driver ./tarnwick > out.txt 2> err.txt &
  pid=$!
  for _ in $(seq 1 100); do
    grep -q "Filesystem 3.10" out.txt && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  grep -q "Filesystem 3.10" out.txt || { cat err.txt; fail "SDL_VIDEODRIVER=$driver was asked for, but the show did not start"; }
  kill -KILL "$pid"  # SIGTERM would wait for the splash to end
  wait "$pid" 2>/dev/null
  pid=""
done
echo "no display: refused, said why, and the drivers asked for by name are taken"
