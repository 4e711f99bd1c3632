#!/usr/bin/env bash
# Is the Linux program's heard position what is really heard? Against private sound servers of
# every kind installed (latency_servers.sh), never the user's:
#   - PulseAudio into a FIFO read like a sound card, small (8192 bytes, 23 to 46 ms) and large
#     (131072 bytes, 743 ms): the device's heard frame against the frames really played, median
#     within 5 ms, 5th and 95th percentiles within 15 ms; the same check of a program that ignored
#     the server's latency (frames written less its own buffer) must fail;
#   - the real program through the large FIFO in Xvfb: its picture in step with it (screen_test.sh);
#   - the real program against a server that never answers, one stopped and continued, one
#     restarted while the window is inactive (stall_test.py);
#   - PipeWire (pipewire-pulse): through a null ALSA node of 300 ms latency the heard frame is
#     300 ms +- 15 ms further back (behind the frames written) than through a plain null sink.
#   latency_test.sh BUILD      (BUILD/tests: the rig's programs; BUILD/bin: the program)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: latency_test.sh BUILD}" && pwd)
programs=$build/tests
run=$build/latency-run
harness_name=latency
. "$here/../../scripts/lib.sh"
for program in fifo_reader latency_probe; do
  [ -x "$programs/$program" ] || fail "$programs/$program is missing (cmake --build $build)"
done
rm -rf "$run"
mkdir -p "$run"
servers=()
stop_servers() {
  for folder in "$run"/*/; do
    [ ! -d "$folder" ] || "$here/latency_servers.sh" stop "$folder" > /dev/null 2>&1
  done
}
at_exit stop_servers

# Runs the probe through the server at ADDRESS: probe RUN SECONDS LOG
probe() {
  PULSE_SERVER=$2 XDG_RUNTIME_DIR=$1/xdg "$programs/latency_probe" PulseAudio "$3" "$4" 2> "$4.err" ||
    fail "the probe could not play through $2: $(cat "$4.err")"
}

if command -v pulseaudio > /dev/null; then
  version=$(pulseaudio --version | awk '{print $2}')
  for fifo in small:8192 large:131072; do
    name=${fifo%%:*} bytes=${fifo#*:}
    folder=$run/pulse-$name
    address=$("$here/latency_servers.sh" pulse "$folder" "$bytes" "$programs/fifo_reader") ||
      fail "PulseAudio could not start (see $folder)"
    probe "$folder" "$address" 8 "$folder/probe.log"
    "$here/latency_servers.sh" stop "$folder"
    "$here/check_heard.py" fifo "$folder/heard.raw" "$folder/probe.log" 1 "PulseAudio, $name FIFO" ||
      fail "the heard position is not what the $name FIFO played (see $folder)"
    if "$here/check_heard.py" fifo "$folder/heard.raw" "$folder/probe.log" 2 \
      "PulseAudio, $name FIFO, the server's latency ignored (must fail)"; then
      fail "the check passed a heard position that ignores the server's latency"
    fi
  done
  "$here/screen_test.sh" "$build"
  "$here/stall_test.py" "$build"
  servers+=("PulseAudio $version")
fi

if command -v pipewire-pulse > /dev/null; then
  version=$(pipewire --version | awk '/libpipewire/ {print $4; exit}')
  folder=$run/pipewire
  address=$("$here/latency_servers.sh" pipewire "$folder") || fail "PipeWire could not start (see $folder)"
  export PULSE_SERVER=$address
  pactl set-default-sink plain
  probe "$folder" "$address" 4 "$folder/plain.log"
  pactl set-default-sink late
  probe "$folder" "$address" 4 "$folder/late.log"
  "$here/latency_servers.sh" stop "$folder"
  unset PULSE_SERVER
  "$here/check_heard.py" shift "$folder/plain.log" "$folder/late.log" 300 "PipeWire, null ALSA node of 300 ms" ||
    fail "the heard position did not take PipeWire's output latency (see $folder)"
  servers+=("PipeWire $version (pipewire-pulse)")
fi

[ ${#servers[@]} -gt 0 ] || fail "no sound server is installed: neither pulseaudio nor pipewire-pulse (scripts/install-deps)"
say "sound servers tested: $(IFS=,; echo "${servers[*]}" | sed 's/,/, /g')"
