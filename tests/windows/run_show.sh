#!/usr/bin/env bash
# The Windows program under Wine, as a user meets it. Run by scripts/test-windows, which has
# started Xvfb (DISPLAY), PulseAudio and the Wine prefix (WINEPREFIX) and stops them afterwards.
#   run_show.sh BIN_DIR NATIVE_BIN
# BIN_DIR holds tarnwick.exe, its data, window-probe.exe and popup-check.exe; NATIVE_BIN the
# native tarnwick-render, whose frames the emulated mode's screenshots are compared with.
# Wine's output always goes to files: its background services would hold a pipe open.
set -euo pipefail
bin=${1:?usage: run_show.sh BIN_DIR NATIVE_BIN}
native=${2:?usage: run_show.sh BIN_DIR NATIVE_BIN}
run=${TARNWICK_RUN:?}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/lib.sh"
title=$window_title

# Wine's virtual desktop offers the classic modes (320x200x8 among them); plain X does not.
# The session starts again with the desktop on or off, at DPI (Wine's LogPixels), and on a new
# X screen of SIZE when one is given (the one before it stays until the way out).
session() {
  local desktop=$1 dpi=$2 size=${3:-}
  {
    if [ "$desktop" = on ]; then
      wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
      wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
    else
      wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f || true
    fi
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
    wineserver -k || true
    wineserver -w || true
  } >> "$run/registry.log" 2>&1
  if [ -n "$size" ]; then
    start_x_server "$size" "$run"
    export DISPLAY=$x_display
  fi
}

# Starts EXE in FOLDER with its output in files there; sets pid.
start() {
  local folder=$1 exe=$2
  (cd "$folder" && exec wine "$exe" > stdout.txt 2> stderr.txt) &
  pid=$!
  at_exit "kill $pid 2> /dev/null"
}

# Waits up to SECONDS for the process to end; its exit code in code.
show_ended() { ! kill -0 "$pid" 2> /dev/null; }
finish() {
  wait_for "$1" "the program did not end within $1 s" show_ended
  code=0
  wait "$pid" || code=$?
}

# Waits for COUNT windows titled like the show; their ids in windows.
windows_shown() {
  windows=$(xdotool search --name "^$title\$" 2> /dev/null || true)
  [ "$(wc -w <<< "$windows")" -ge "$1" ]
}
wait_windows() { wait_for --while "$pid" 30 "no $2 titled \"$title\"" windows_shown "$1"; }

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

# The show's share of a core over 10 s of playing, in share_text.
measure_share() {
  local process before after share
  process=$(show_process) || fail "cannot find the show's process"
  before=$(cpu_ticks "$process")
  sleep 10
  after=$(cpu_ticks "$process")
  share=$(share_tenths $(( after - before )) 10000)
  share_text="$(( share / 10 )).$(( share % 10 )) %"
}

# Escape ends the show with exit code 0, after the archive's banner and one dot per file.
escape_ends_show() {
  xdotool windowfocus --sync "$main_window" key Escape
  finish 30
  [ "$code" -eq 0 ] || fail "Escape ended the show with exit code $code, not 0"
  head -1 "$folder/stdout.txt" | tr -d '\r' | grep -qx "Filesystem 3.10" || fail "no \"Filesystem 3.10\" banner: $(cat "$folder/stdout.txt")"
  local dots
  dots=$(sed -n 2p "$folder/stdout.txt" | tr -d '\r')
  [ "$dots" = "....." ] || fail "expected one \".\" per file of the archive (5), got \"$dots\""
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
session on 96
folder=$(show_folder show with-module)
start "$folder" tarnwick.exe
wait_windows 1 "the window"
main_window=$(newest_window)
say "window $main_window found by its title"
sleep 3
shot splash > "$run/splash.txt"
sleep 9  # the splash takes about 7 s, then the music and the first scene
shot scene > "$run/scene.txt"
read -r _ x0 y0 x1 y1 _ colours < "$run/scene.txt" || fail "no picture in the screenshot"
[ "$x0" != none ] || fail "the screen is black after the splash (see $run/scene.png)"
[ $(( x1 - x0 )) -le 320 ] && [ $(( y1 - y0 )) -le 200 ] || fail "the picture is not 320x200: $(cat "$run/scene.txt")"
[ "$colours" -ge 8 ] || fail "the picture has only $colours colours (see $run/scene.png)"
say "after the splash: $(cat "$run/scene.txt") (screenshots in $run)"
measure_share
say "share of a core while playing: $share_text"
# The sound server goes away and comes back: the show plays on silently, then with the device.
said() { tr -d '\r' < "$folder/stderr.txt" | grep -qx "$1"; }
wait_line() { wait_for 10 "no \"$1\" on standard error" said "$1"; }
stop_pid_file "$run/pulseaudio.pid"  # scripts/test-windows's
wait_line "Audio device lost: opening the default output again"
wait_line "No audio device (.*): playing silently, trying again every 2 seconds"
start_pulseaudio "$run"
wait_line "Audio device back: the music plays on"
kill -0 "$pid" 2>/dev/null || fail "the show ended when its sound device went away"
say "sound server gone and back: $(tr -d '\r' < "$folder/stderr.txt" | tr '\n' ',' | sed 's/,$//')"
escape_ends_show
say "Escape: exit code 0; standard output: Filesystem 3.10, ....."

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
say "without the module: exit code 1, $(head -1 "$folder/stderr.txt" | tr -d '\r'), message box closed with Return"

# --- 3. Without a sound output (no sound server to reach): "Can't initialize device" and why.
folder=$(show_folder no-sound with-module)
(cd "$folder" && PULSE_SERVER=unix:/nonexistent exec wine tarnwick.exe > stdout.txt 2> stderr.txt) &
pid=$!
at_exit "kill $pid 2> /dev/null"
wait_windows 1 "the message box"
text=$(dialog_text)
grep -q "^box: Can't initialize device: waveOutOpen: ." <<<"$text" || fail "without sound the box says: $text"
xdotool windowfocus --sync "$(newest_window)" key Return
finish 30
[ "$code" -eq 1 ] || fail "without sound the exit code is $code, not 1"
say "without sound: exit code 1, $(grep "^Can't" "$folder/stderr.txt" | tr -d '\r')"

# --- 4. Without the virtual desktop there is no 320x200x8 mode: the emulated one, on the desktop.
# The splash as tarnwick-render presents it (the hold is the same picture for 280 presents).
(cd "$native" && ./tarnwick-render --png "$run/frames" --frames 200 --escape-at 2 > "$run/render.log" 2>&1) ||
  fail "tarnwick-render could not draw the splash (see $run/render.log)"
splash_frame=$run/frames/frame-000200.png

# NAME SIZE DPI "X Y W H": the window covers the screen; the splash fills the 4:3 box, scaled
# by nearest neighbour, black around it; so does the first scene, whose side bars reach the
# box's edges; the share of a core; Escape.
emulated_show() {
  local name=$1 size=$2 dpi=$3 x y w h
  read -r x y w h <<<"$4"
  session off "$dpi" "$size"
  folder=$(show_folder "$name" with-module)
  start "$folder" tarnwick.exe
  wait_windows 1 "the window"
  main_window=$(newest_window)
  sleep 3
  shot "$name-splash" > /dev/null
  "$here/box_check.py" "$run/$name-splash.png" "$splash_frame" "$x" "$y" "$w" "$h" > "$run/$name-splash.txt" ||
    fail "on $size at $dpi dpi the splash is not the frame in its box: $(cat "$run/$name-splash.txt") (see $run/$name-splash.png)"
  say "$size at $dpi dpi, splash: $(cat "$run/$name-splash.txt")"
  sleep 9
  shot "$name-scene" > "$run/$name-scene.txt"
  local x0 y0 x1 y1
  read -r _ x0 y0 x1 y1 _ _ < "$run/$name-scene.txt" || fail "no picture in the screenshot"
  [ "$x0 $y0 $x1 $y1" = "$x $y $(( x + w )) $(( y + h ))" ] ||
    fail "on $size the scene is not in the box $w x $h at $x,$y: $(cat "$run/$name-scene.txt") (see $run/$name-scene.png)"
  measure_share
  say "$size at $dpi dpi, first scene: $(cat "$run/$name-scene.txt"); share of a core while playing: $share_text"
  escape_ends_show
  say "$size at $dpi dpi: Escape, exit code 0; standard output: Filesystem 3.10, ....."
}
emulated_show emulated-720 1280x720 96 "160 0 960 720"

# --- 5. The display's popup itself, in the system's look (common controls 6): the "ddu_popupw"
# dialog with a code's documented text.
start "$run" "$bin/popup-check.exe"
wait_windows 2 "the popup"
shot popup > /dev/null
text=$(dialog_text)
[ "$text" = "popup: The operation is not supported. " ] || fail "the popup says: \"$text\""
xdotool windowfocus --sync "$(newest_window)" key Return
finish 30
[ "$code" -eq 1 ] || fail "after the popup the exit code is $code, not 1"
say "popup ddu_popupw found, text of control 102 as documented, closed with Return, exit code 1"

# --- 6. The emulated mode on a 1920x1080 screen at 150 %: the box is made of the real pixels.
emulated_show emulated-1080 1920x1080 144 "240 0 1440 1080"
session on 96  # the prefix as the next run expects it
