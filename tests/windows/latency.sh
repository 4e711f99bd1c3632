#!/usr/bin/env bash
# The Windows devices' heard frame under Wine against an output of real latency: latency_probe.exe
# plays each device through winepulse into the latency rig's PulseAudio, whose pipe sink feeds a
# FIFO read at exactly 44100 frames a second (tests/latency/latency_servers.sh), small (8192 bytes)
# and large (131072 bytes). Under Wine no Windows interface reports the output's own latency, so
# the program's own part of the error is the error less that latency: what the FIFO holds, as the
# pipe sink reads it (pactl's sink latency for the stream). WASAPI must play with few gaps on both
# FIFOs, and its own part lie within 60 ms (median) on the small one. Winepulse's clock runs at the
# nominal rate from the stream's start, before the server plays, and on through the server's gaps:
# on the small FIFO it led the sink by 10 to 25 ms from run to run, whatever the program does; on
# the large one by 19 to 60 ms, so there the median is only reported. waveOut's own part (what it
# and Wine's engine buffer hold, about 75 ms more) is reported beside it.
# Run by scripts/test-windows, in its Wine prefix (WINEPREFIX, Wine's audio driver set to pulse).
#   latency.sh BIN_DIR NATIVE_TESTS     (BIN_DIR: latency_probe.exe; NATIVE_TESTS: fifo_reader)
set -euo pipefail
bin=${1:?usage: latency.sh BIN_DIR NATIVE_TESTS}
native=${2:?usage: latency.sh BIN_DIR NATIVE_TESTS}
run=${TARNWICK_RUN:?}/latency
here=$(cd "$(dirname "$0")" && pwd)
rig=$here/../latency
harness_name=latency
. "$here/../../scripts/lib.sh"
[ -x "$native/fifo_reader" ] || fail "$native/fifo_reader is missing (cmake --build build)"
rm -rf "$run"
mkdir -p "$run"
folder=''
at_exit '[ -z "$folder" ] || "$rig/latency_servers.sh" stop "$folder" > /dev/null 2>&1'

read -r shift_ns clock round_trip_us < <("$here/wine_clock.py" "$(command -v wine)" "$bin/latency_probe.exe") ||
  fail "the Windows program's clock could not be placed against Linux's"
say "Wine's performance counter is $clock ($(( shift_ns / 1000 )) us from CLOCK_MONOTONIC, round trip $round_trip_us us)"

# The output's latency under the probe's stream (the FIFO's fill), in ms, the median of samples
# taken while it plays (the server's buffer latency beside it, for the record): RUN ADDRESS
output_latency() {
  local samples=$1/latency.txt
  sleep 2
  while kill -0 "$probe_pid" 2> /dev/null; do
    PULSE_SERVER=$2 pactl list sink-inputs 2> /dev/null |
      awk '/Buffer Latency:/ {b = $3} /Sink Latency:/ {print b / 1000, $3 / 1000}' >> "$samples"
    sleep 0.5
  done
  awk '{print $2}' "$samples" | sort -n | awk '{v[NR] = $1} END {if (NR) print v[int((NR + 1) / 2)]}'
}

for fifo in small:8192 large:131072; do
  name=${fifo%%:*} bytes=${fifo#*:}
  for device in WASAPI waveOut; do
    folder=$run/$name-$device
    address=$("$rig/latency_servers.sh" pulse "$folder" "$bytes" "$native/fifo_reader") ||
      fail "PulseAudio could not start (see $folder)"
    (cd "$folder" && PULSE_SERVER=$address exec wine "$bin/latency_probe.exe" "$device" 8 probe.log \
      > probe.out 2> probe.err) &
    probe_pid=$!
    server_ms=$(output_latency "$folder" "$address")
    wait "$probe_pid" || fail "the probe could not play $device: $(tr -d '\r' < "$folder/probe.err")"
    "$rig/latency_servers.sh" stop "$folder"
    folder=''
    [ -n "$server_ms" ] || fail "the sound server did not say the output's latency under $device's stream"
    limit=0  # only reported
    [ "$device" = WASAPI ] && limit=$([ "$name" = small ] && echo 60 || echo 1000)
    "$rig/check_heard.py" wine "$run/$name-$device/heard.raw" "$run/$name-$device/probe.log" "$shift_ns" \
      "$server_ms" "$limit" "Wine, $device, $name FIFO" ||
      fail "$device's heard frame under Wine is not what the $name FIFO played (see $run/$name-$device)"
  done
done
