#!/usr/bin/env bash
# The test's own virtual X server on a free display number, of a given screen size:
#   x_server.sh start WIDTHxHEIGHT RUN_DIR   prints the display (":N"); its pid in RUN_DIR/xvfb.pid
#   x_server.sh stop RUN_DIR
set -euo pipefail
case "${1:-}" in
  start)
    size=${2:?usage: x_server.sh start WIDTHxHEIGHT RUN_DIR}
    run=${3:?usage: x_server.sh start WIDTHxHEIGHT RUN_DIR}
    number=$(( 90 + RANDOM % 400 ))
    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$(( number + 1 )); done
    Xvfb ":$number" -screen 0 "${size}x24" -nolisten tcp > "$run/xvfb-$size.log" 2>&1 &
    echo $! > "$run/xvfb.pid"
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$number" ] && break
      kill -0 "$(cat "$run/xvfb.pid")" 2>/dev/null || break
      sleep 0.1
    done
    if [ ! -e "/tmp/.X11-unix/X$number" ]; then
      echo "x_server.sh: Xvfb could not start on :$number (see $run/xvfb-$size.log)" >&2
      exit 1
    fi
    echo ":$number"
    ;;
  stop)
    run=${2:?usage: x_server.sh stop RUN_DIR}
    [ -f "$run/xvfb.pid" ] || exit 0
    pid=$(cat "$run/xvfb.pid")
    rm -f "$run/xvfb.pid"
    kill "$pid" 2>/dev/null || exit 0
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || exit 0; sleep 0.1; done
    ;;
  *) echo "x_server.sh: start or stop" >&2; exit 2 ;;
esac
