#!/usr/bin/env bash
# The Windows program under Wine, as a user meets it. Run by scripts/test-windows, which has
# started Xvfb (DISPLAY), PulseAudio and the Wine prefix (WINEPREFIX) and stops them afterwards.
#   run_show.sh BIN_DIR     (tarnwick.exe, its data, window-probe.exe, popup-check.exe)
# Wine's output always goes to files: its background services would hold a pipe open.
set -euo pipefail
bin=${1:?usage: run_show.sh BIN_DIR}
run=${TARNWICK_RUN:?}
title="TORVAN TEST PROGRAM"
fail() { echo "run_show: FAILED: $*" >&2; exit 1; }
log() { echo "run_show: $*"; }
. "$(dirname "$0")/../../scripts/lib.sh"

# Wine's virtual desktop offers the classic modes (320x200x8 among them); plain X does not.
virtual_desktop() {
  if [ "$1" = on ]; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
  else
    wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f || true
  fi
  wineserver -k || true
  wineserver -w || true
} >> "$run/registry.log" 2>&1

# Starts EXE in FOLDER with its output in files there; sets pid.
start() {
  local folder=$1 exe=$2
  (cd "$folder" && exec wine "$exe" > stdout.txt 2> stderr.txt) &
  pid=$!
}

# Waits up to SECONDS for the process to end; its exit code in code.
finish() {
  local seconds=$1
  for _ in $(seq $(( seconds * 10 ))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    fail "the program did not end within $seconds s"
  fi
  code=0
  wait "$pid" || code=$?
}

# Waits for COUNT windows titled like the show; their ids in windows.
wait_windows() {
  local count=$1 what=$2
  for _ in $(seq 300); do
    windows=$(xdotool search --name "^$title\$" 2>/dev/null || true)
    [ "$(wc -w <<<"$windows")" -ge "$count" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the program ended before $what appeared"
    sleep 0.1
  done
  fail "no $what titled \"$title\" within 30 s"
}

# The newest window titled like the show (a dialog opens after the main window).
newest_window() { tail -1 <<<"$windows"; }

shot() {
  xwd -root -silent > "$run/$1.xwd" || fail "cannot take a screenshot"
  "$(dirname "$0")/screen_shot.py" "$run/$1.xwd" "$run/$1.png"
}

# The text of the dialogs titled like the show, read inside Wine.
dialog_text() {
  (cd "$run" && wine "$bin/window-probe.exe" "$title" > probe.txt 2> probe-errors.txt) || true
  tr -d '\r' < "$run/probe.txt"
}

# The Windows process that runs the exe (wine's loader becomes it) in this Wine prefix.
show_process() {
  local p
  for p in $(pgrep -x tarnwick.exe || true); do
    if tr '\0' '\n' < "/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$p"
      return 0
    fi
  done
  return 1
}

show_folder() {
  local folder=$run/$1
  mkdir -p "$folder"
  cp "$bin/tarnwick.exe" "$bin/tarnwick.dat" "$folder/"
  [ "$2" = with-module ] && cp "$bin/tarnwick.it" "$folder/"
  echo "$folder"
}

# --- 1. The show in the virtual desktop: window, banner, picture, CPU share, the sound device
# lost and back, Escape.
virtual_desktop on
folder=$(show_folder show with-module)
start "$folder" tarnwick.exe
wait_windows 1 "the window"
main_window=$(newest_window)
log "window $main_window found by its title"
sleep 3
shot splash > "$run/splash.txt"
sleep 9  # the splash takes about 7 s, then the music and the first scene
shot scene > "$run/scene.txt"
read -r _ x0 y0 x1 y1 _ colours < "$run/scene.txt" || fail "no picture in the screenshot"
[ "$x0" != none ] || fail "the screen is black after the splash (see $run/scene.png)"
[ $(( x1 - x0 )) -le 320 ] && [ $(( y1 - y0 )) -le 200 ] || fail "the picture is not 320x200: $(cat "$run/scene.txt")"
[ "$colours" -ge 8 ] || fail "the picture has only $colours colours (see $run/scene.png)"
log "after the splash: $(cat "$run/scene.txt") (screenshots in $run)"
process=$(show_process) || fail "cannot find the show's process"
ticks_before=$(cpu_ticks "$process")
sleep 10
ticks_after=$(cpu_ticks "$process")
share=$(share_tenths $((ticks_after - ticks_before)) 10000)
log "share of a core while playing: $(( share / 10 )).$(( share % 10 )) %"
# The sound server goes away and comes back: the show plays on silently, then with the device.
wait_line() {
  for _ in $(seq 100); do
    grep -qx "$1" <(tr -d '\r' < "$folder/stderr.txt") && return 0
    sleep 0.1
  done
  fail "no \"$1\" on standard error within 10 s: $(cat "$folder/stderr.txt")"
}
"$(dirname "$0")/sound_server.sh" stop "$run/pulseaudio.log"
wait_line "device lost"
wait_line "playing silently"
"$(dirname "$0")/sound_server.sh" start "$run/pulseaudio.log" || fail "PulseAudio could not start again"
wait_line "device back"
kill -0 "$pid" 2>/dev/null || fail "the show ended when its sound device went away"
log "sound server gone and back: $(tr -d '\r' < "$folder/stderr.txt" | tr '\n' ',' | sed 's/,$//')"
xdotool windowfocus --sync "$main_window" key Escape
finish 30
[ "$code" -eq 0 ] || fail "Escape ended the show with exit code $code, not 0"
head -1 "$folder/stdout.txt" | tr -d '\r' | grep -qx "Filesystem 3.10" || fail "no \"Filesystem 3.10\" banner: $(cat "$folder/stdout.txt")"
dots=$(sed -n 2p "$folder/stdout.txt" | tr -d '\r')
[ "$dots" = "....." ] || fail "expected one \".\" per file of the archive (5), got \"$dots\""
log "Escape: exit code 0; standard output: Filesystem 3.10, ....."

# --- 2. Without the module: "Can't play the file" on standard error and in a message box.
folder=$(show_folder no-module without-module)
start "$folder" tarnwick.exe
wait_windows 2 "the message box"
box=$(newest_window)
text=$(dialog_text)
grep -q "^box: Can't play the file: " <<<"$text" || fail "the message box does not say why: $text"
xdotool windowfocus --sync "$box" key Return
finish 30
[ "$code" -eq 1 ] || fail "without the module the exit code is $code, not 1"
grep -q "^Can't play the file: " "$folder/stderr.txt" || fail "no \"Can't play the file\" on standard error: $(cat "$folder/stderr.txt")"
log "without the module: exit code 1, $(head -1 "$folder/stderr.txt" | tr -d '\r'), message box closed with Return"

# --- 3. Without a sound output (no sound server to reach): "Can't initialize device" and why.
folder=$(show_folder no-sound with-module)
(cd "$folder" && PULSE_SERVER=unix:/nonexistent exec wine tarnwick.exe > stdout.txt 2> stderr.txt) &
pid=$!
wait_windows 1 "the message box"
text=$(dialog_text)
grep -q "^box: Can't initialize device: waveOutOpen: ." <<<"$text" || fail "without sound the box says: $text"
xdotool windowfocus --sync "$(newest_window)" key Return
finish 30
[ "$code" -eq 1 ] || fail "without sound the exit code is $code, not 1"
log "without sound: exit code 1, $(grep "^Can't" "$folder/stderr.txt" | tr -d '\r')"

# --- 4. Without the virtual desktop there is no 320x200x8 mode: the start-up failure box.
virtual_desktop off
folder=$(show_folder no-mode with-module)
start "$folder" tarnwick.exe
wait_windows 2 "the message box"
shot no-mode > /dev/null
text=$(dialog_text)
grep -q "^box: Can't open the display: no 320x200 mode with 256 colours" <<<"$text" ||
  fail "without the mode the box says: $text"
xdotool windowfocus --sync "$(newest_window)" key Return
finish 30
[ "$code" -eq 1 ] || fail "without the mode the exit code is $code, not 1"
log "without the mode: exit code 1, $(head -1 "$folder/stderr.txt" | tr -d '\r')"

# --- 5. The display's popup itself: the "ddu_popupw" dialog with a code's documented text.
start "$run" "$bin/popup-check.exe"
wait_windows 2 "the popup"
shot popup > /dev/null
text=$(dialog_text)
[ "$text" = "popup: The operation is not supported. " ] || fail "the popup says: \"$text\""
xdotool windowfocus --sync "$(newest_window)" key Return
finish 30
[ "$code" -eq 1 ] || fail "after the popup the exit code is $code, not 1"
log "popup ddu_popupw found, text of control 102 as documented, closed with Return, exit code 1"
