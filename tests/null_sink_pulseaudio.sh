#!/usr/bin/env bash
# A test's own PulseAudio daemon with a null sink (a real-time output device), in the
# XDG_RUNTIME_DIR the caller set to a private folder: null_sink_pulseaudio.sh start|stop LOG
set -euo pipefail
log=${2:?usage: null_sink_pulseaudio.sh start|stop LOG}
case "$1" in
  start)
    pulseaudio -D --exit-idle-time=-1 -n --load=module-null-sink --load=module-native-protocol-unix \
      >> "$log" 2>&1 && pulseaudio --check
    ;;
  stop) pulseaudio --kill >> "$log" 2>&1 || true ;;
  *) echo "null_sink_pulseaudio.sh: start or stop" >&2; exit 2 ;;
esac
