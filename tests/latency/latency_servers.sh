#!/usr/bin/env bash
# Private sound servers for the latency tests, never the user's: each in RUN/xdg (mode 700), its
# configuration and state under RUN, stopped by "stop". Any program given the printed address (as
# PULSE_SERVER, or with XDG_RUNTIME_DIR=RUN/xdg) plays through it: the program under test, a
# browser.
#
#   latency_servers.sh pulse RUN BYTES READER
#     PulseAudio (pulseaudio -n) with only module-native-protocol-unix and a module-pipe-sink into
#     the FIFO RUN/sink.fifo of BYTES bytes (a power of two, 4096 and up; 4096 is 23 ms). READER
#     (the fifo_reader program) consumes it at exactly 44100 frames a second like a sound card,
#     so the FIFO's fill is real latency: RUN/heard.raw holds what was heard, 16-bit stereo, slot
#     s heard at the monotonic time in RUN/heard.raw.t0 (ns, written on stop) plus s/44100 s.
#   latency_servers.sh pipewire RUN
#     pipewire, wireplumber and pipewire-pulse on a session D-Bus of their own, with two sinks:
#     "plain" (a null sink) and "late" (a null ALSA node reporting 300 ms of its own latency).
#   latency_servers.sh restart RUN
#     Stops the PulseAudio started in RUN and starts it again into the same FIFO and reader: a
#     sound server restarted under a program that plays through it.
#   latency_servers.sh stop RUN
#     Stops what was started in RUN, the reader last (it then writes heard.raw.t0).
#
# Prints the server address (unix:PATH) on standard output; failures go to standard error with the
# log to look at, and exit 1.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
harness_name=latency_servers
. "$here/../../scripts/lib.sh"
usage() { echo "usage: latency_servers.sh pulse RUN BYTES READER | restart RUN | pipewire RUN | stop RUN" >&2; exit 2; }
[ $# -ge 2 ] || usage
kind=$1
use_run_folder "$2"
run=$part_dir

fifo_pulseaudio() {
  start_pulseaudio "$run" "module-pipe-sink file=$run/sink.fifo sink_name=fifo format=s16le rate=44100 channels=2"
}
reader_ready() { grep -q '^ready' "$run/reader.log" 2> /dev/null; }
pipewire_up() { [ -S "$run/xdg/pipewire-0" ]; }
late_sink_shown() { pactl list short sinks 2> /dev/null | grep -q late; }  # under use_private_folders

case "$kind" in
  pulse)
    [ $# -eq 4 ] || usage
    bytes=$3 reader=$4
    command -v pulseaudio > /dev/null || fail "pulseaudio is not installed (scripts/install-deps)"
    rm -f "$run/sink.fifo" "$run/heard.raw" "$run/heard.raw.t0"
    mkfifo "$run/sink.fifo"
    # The reader sizes the FIFO before the sink opens it, and holds it open from then on. A card
    # plays on time whatever the load: real-time scheduling where allowed, for it and the server.
    realtime=()
    chrt -f 10 true 2> /dev/null && realtime=(chrt -f 10)
    start_part "$run" reader "${realtime[@]}" "$reader" "$run/sink.fifo" "$bytes" "$run/heard.raw"
    wait_for --while "$started_pid" 5 "the FIFO reader failed (see $run/reader.log)" reader_ready
    grep -q "^ready $bytes\$" "$run/reader.log" || fail "the FIFO is not $bytes bytes: $(cat "$run/reader.log")"
    fifo_pulseaudio
    ;;
  restart)
    [ $# -eq 2 ] || usage
    stop_pid_file "$run/pulseaudio.pid"
    fifo_pulseaudio
    ;;
  pipewire)
    [ $# -eq 2 ] || usage
    for program in pipewire wireplumber pipewire-pulse dbus-daemon; do
      command -v "$program" > /dev/null || fail "$program is not installed (scripts/install-deps)"
    done
    use_private_folders "$run"
    export PIPEWIRE_RUNTIME_DIR=$run/xdg
    mkdir -p "$run/config/pipewire/pipewire.conf.d"
    cp "$here/pipewire_sinks.conf" "$run/config/pipewire/pipewire.conf.d/"
    start_session_bus "$run"
    start_part "$run" pipewire pipewire
    wait_for --while "$started_pid" 5 "pipewire did not start (see $run/pipewire.log)" pipewire_up
    start_part "$run" wireplumber wireplumber
    start_part "$run" pipewire-pulse pipewire-pulse
    pulse_address=$PULSE_SERVER
    await_sound_server "$started_pid" "$pulse_address" "$run/pipewire-pulse.log"
    wait_for 5 "the sinks did not appear (see $run/pipewire.log)" late_sink_shown
    ;;
  stop)
    for name in pipewire-pulse wireplumber pipewire pulseaudio dbus reader; do
      stop_pid_file "$run/$name.pid"
    done
    exit 0
    ;;
  *) usage ;;
esac
harness_pids=()  # handed over to "stop"
echo "$pulse_address"
