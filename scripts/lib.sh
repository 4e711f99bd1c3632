# Shared by the scripts: source it, with the working directory anywhere.
#   . "$(dirname "$0")/lib.sh"

tarnwick_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The show data (tarnwick.dat, tarnwick.it) is made by the native build's generators, which every
# other build copies: configure the native release build and build only that, with JOBS jobs.
build_native_show_data() {
  cmake -S "$tarnwick_root" -B "$tarnwick_root/build" -DCMAKE_BUILD_TYPE=Release > /dev/null
  cmake --build "$tarnwick_root/build" -j"${1:-2}" --target show_data show_archive > /dev/null
}

# The frame of the show (presents counted from 1 at 60 Hz) that the web page's preview shows: the
# show's name over the textured sphere.
web_preview_frame=10200

# utime + stime of process PID, all its threads, in clock ticks. The name in /proc/PID/stat may
# hold spaces, so the fields are counted after its closing parenthesis.
cpu_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  set -- ${stat##*) }
  echo $(( ${12} + ${13} ))
}

# TICKS of CPU time over MS milliseconds of wall time, in tenths of a percent of one core.
share_tenths() {
  echo $(( $1 * 1000000 / ($(getconf CLK_TCK) * $2) ))
}

# sudo for the package manager's commands, or nothing when running as root.
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# Emscripten's optimiser needs Debian's acorn; configure scripts must not meet node's fetch.
use_debian_node() {
  export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
  export NODE_OPTIONS=--no-experimental-fetch
}
