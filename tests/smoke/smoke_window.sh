#!/usr/bin/env bash
# The real program in a virtual X server: it opens its titled window, Escape ends it with 0, and
# without its module it ends with 1 and says why. Run under xvfb-run; $1 is the programs' folder.
set -u
bin=$1
export SDL_AUDIODRIVER=dummy PULSE_SERVER=unix:/nonexistent/native  # no sound server, not the user's
export ASAN_OPTIONS=${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0  # leaks of X and GL libraries are not ours
fail() { echo "smoke: $*"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$bin/tarnwick" "$bin/tarnwick.dat" "$bin/tarnwick.it" "$work/"
cd "$work"

./tarnwick > out.txt 2> err.txt &
pid=$!
found=""
for _ in $(seq 1 100); do
  found=$(xdotool search --name "^TORVAN TEST PROGRAM$" 2>/dev/null | head -n 1)
  [ -n "$found" ] && break
  sleep 0.1
done
if [ -z "$found" ]; then
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  echo "smoke: the program's exit code $?, standard error:"
  cat err.txt
  fail "no window titled TORVAN TEST PROGRAM"
fi
sleep 1
xdotool key Escape  # taken when the main loop starts, after the splash
for _ in $(seq 1 300); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  xdotool key Escape
  sleep 2
  kill "$pid" 2>/dev/null && fail "Escape did not end the show"
fi
wait "$pid"
code=$?
[ "$code" -eq 0 ] || { cat err.txt; fail "exit code $code after Escape, expected 0"; }
grep -q "Filesystem 3.10" out.txt || fail "no archive banner on standard output"

rm tarnwick.it
./tarnwick > out.txt 2> err.txt
code=$?
[ "$code" -eq 1 ] || fail "exit code $code without tarnwick.it, expected 1"
grep -q "Can't play the file" err.txt || { cat err.txt; fail "no \"Can't play the file\" on standard error"; }
echo "smoke: window, Escape and the missing module behave"
