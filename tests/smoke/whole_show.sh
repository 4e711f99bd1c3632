#!/usr/bin/env bash
# The real program through the whole show in a virtual X server, in real time, with no input and
# SDL's dummy audio driver: it must end by itself with 0 within the show's length and a margin,
# show no popup, and keep its memory flat after start-up. Prints its figures: time taken, peak
# resident memory, and its share of a core (measured, only a gross excess fails).
#   tests/smoke/whole_show.sh BIN   (BIN holds tarnwick, tarnwick.dat and tarnwick.it)
set -u
bin=$(cd "${1:?usage: whole_show.sh BIN}" && pwd)
# Seconds: the splash (about 7 s) and (0,0) to (43,32) (278.4 s) take 285 s, but SDL's dummy
# audio driver keeps the music's time by sleeping after each buffer and runs slow on a busy
# machine (313 s seen while another build ran). A show stuck in a scene takes a whole loop more.
limit=360
settle=20        # seconds after which resident memory must stay flat
growth_kib=4096  # allowed growth of the peak after that
cpu_fail=25      # percent of a core; the aim is under 10
harness_name="whole show"
. "$(dirname "$0")/../../scripts/lib.sh"

command -v xdotool > /dev/null || fail "xdotool is not installed (scripts/install-deps)"
start_x_server 1024x768
export DISPLAY=$x_display
unset WAYLAND_DISPLAY SDL_VIDEODRIVER
use_run_folder
work=$part_dir
export SDL_AUDIODRIVER=dummy PULSE_SERVER=unix:/nonexistent/native  # no sound server, not the user's

cp "$bin/tarnwick" "$bin/tarnwick.dat" "$bin/tarnwick.it" "$work/"
cd "$work"
ms() { echo $(( $(date +%s%N) / 1000000 )); }
start=$(ms)
./tarnwick > out.txt 2> err.txt &
show_pid=$!
at_exit "kill -KILL $show_pid 2> /dev/null"

# Once a second: resident memory, CPU time so far, and the windows carrying the show's title
# (a popup is a second one).
hwm_settled=""
hwm=0
cpu_used=0
popups=0
while kill -0 "$show_pid" 2>/dev/null; do
  elapsed=$(( $(ms) - start ))
  if [ "$elapsed" -gt $((limit * 1000)) ]; then
    fail "still running after $limit s (stuck in a scene?); standard error: $(cat err.txt)"
  fi
  if status=$(cat "/proc/$show_pid/status" 2>/dev/null) && ticks_now=$(cpu_ticks "$show_pid"); then
    hwm=$(echo "$status" | awk '/^VmHWM:/ {print $2}')
    cpu_used=$ticks_now
    if [ -z "$hwm_settled" ] && [ "$elapsed" -ge $((settle * 1000)) ]; then hwm_settled=$hwm; fi
  fi
  windows=$(xdotool search --name "^$window_title\$" 2>/dev/null | wc -l)
  [ "$windows" -gt 1 ] && popups=$windows
  sleep 1
done
wait "$show_pid"
code=$?
show_pid=""
wall=$(( $(ms) - start ))
cpu_tenths=$(share_tenths "$cpu_used" "$wall")
printf 'whole show: ended with %d after %d.%01d s (limit %d s)\n' "$code" $((wall / 1000)) $((wall % 1000 / 100)) "$limit"
printf 'whole show: peak resident memory %d KiB (%d KiB at %d s)\n' "$hwm" "${hwm_settled:-0}" "$settle"
printf 'whole show: %d.%d%% of a core on average (aim: under 10%%)\n' $((cpu_tenths / 10)) $((cpu_tenths % 10))

[ "$code" -eq 0 ] || fail "exit code $code, expected 0; standard error: $(cat err.txt)"
[ -n "$hwm_settled" ] || fail "ended before $settle s: not the whole show"
[ "$popups" -eq 0 ] || fail "a popup appeared ($popups windows titled $window_title)"
[ ! -s err.txt ] || fail "standard error is not empty: $(cat err.txt)"
[ $((hwm - hwm_settled)) -le "$growth_kib" ] || fail "peak memory grew by $((hwm - hwm_settled)) KiB after start-up"
[ "$cpu_tenths" -lt $((cpu_fail * 10)) ] || fail "$((cpu_tenths / 10))% of a core, far over the aim of 10%"
say passed
