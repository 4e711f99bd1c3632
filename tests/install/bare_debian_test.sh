#!/usr/bin/env bash
# The Debian package on a machine without the build packages: a fresh minimal Debian 12
# (debootstrap --variant=minbase, cached in ~/.cache/tarnwick) installs the .deb with apt-get,
# then plays the show from an empty folder: headless it must log what build/bin logs, and the
# real program must start on its installed data. Needs root and the network; a few minutes the
# first time. Not part of scripts/test for that reason.
#   tests/install/bare_debian_test.sh BUILD_DIR     (after: cd BUILD_DIR && cpack -G DEB)
set -u
build=$(cd "${1:?usage: bare_debian_test.sh BUILD_DIR}" && pwd)
harness_name="bare Debian test"
. "$(dirname "$0")/../../scripts/lib.sh"
[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot, mount)"
command -v debootstrap > /dev/null || fail "needs debootstrap (apt-get install debootstrap)"
deb=$(ls "$build"/tarnwick_*.deb 2> /dev/null | head -n 1)
[ -n "$deb" ] || fail "no tarnwick_*.deb in $build (cd $build && cpack -G DEB)"

cache=${XDG_CACHE_HOME:-$HOME/.cache}/tarnwick/bookworm-minbase
if [ ! -x "$cache/bin/sh" ]; then
  rm -rf "$cache.partial"
  mkdir -p "$(dirname "$cache")"
  debootstrap --variant=minbase bookworm "$cache.partial" http://deb.debian.org/debian > /dev/null ||
    fail "debootstrap"
  mv "$cache.partial" "$cache"
fi
root=$(mktemp -d /tmp/tarnwick-bare-XXXXXX)
cleanup() { umount "$root/proc" 2> /dev/null; rm -rf --one-file-system "$root"; }
at_exit cleanup
cp -a "$cache/." "$root/"
cp /etc/resolv.conf "$root/etc/"
cp "$deb" "$root/tmp/"
mount -t proc proc "$root/proc" || fail "cannot mount /proc in the chroot"
in_root() { chroot "$root" env DEBIAN_FRONTEND=noninteractive LC_ALL=C "$@"; }
# The programs run with a Debian user's PATH (/etc/profile), which holds /usr/games; root's does not.
as_user() { in_root env PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games "$@"; }

in_root apt-get update -qq || fail "apt-get update"
in_root apt-get install -y -q --no-install-recommends "/tmp/$(basename "$deb")" > "$root/tmp/apt.log" 2>&1 ||
  { tail -n 20 "$root/tmp/apt.log"; fail "apt-get install ./$(basename "$deb")"; }
in_root dpkg-query -W -f '${Package}\n' | grep -- '-dev$' && fail "-dev packages came with the .deb"
[ "$(as_user sh -c 'command -v tarnwick')" = /usr/games/tarnwick ] || fail "tarnwick is not on the PATH"
[ -f "$root/usr/share/applications/org.tarnwick.Tarnwick.desktop" ] || fail "no menu entry"

(cd "$build/bin" && ./tarnwick-render --log -) > "$root/tmp/expected.log"
as_user sh -c 'mkdir /tmp/empty && cd /tmp/empty && tarnwick-render --log -' > "$root/tmp/installed.log" ||
  fail "tarnwick-render on the bare system"
cmp -s "$root/tmp/expected.log" "$root/tmp/installed.log" || fail "the bare system's log differs from build/bin's"
as_user sh -c 'cd /tmp/empty && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout -s INT 4 stdbuf -oL tarnwick' \
  > "$root/tmp/show.out" 2> "$root/tmp/show.err"
grep -q "Filesystem 3.10" "$root/tmp/show.out" && ! grep -q "Can't" "$root/tmp/show.err" ||
  { cat "$root/tmp/show.out" "$root/tmp/show.err"; fail "tarnwick did not start on its installed data"; }
say "passed; apt-get: $(grep -E 'newly installed|Need to get|After this' "$root/tmp/apt.log" | tr '\n' ' ')"
