#!/usr/bin/env bash
# The show installed like any other program, from a release build folder ($1):
# - cmake --install into a temporary prefix puts programs, data, desktop entry and icons there;
# - the installed tarnwick-render, run from an unrelated empty folder, finds the installed data
#   and logs the same show as build/bin's; the installed tarnwick (SDL) finds it too;
# - a folder holding its own tarnwick.dat or tarnwick.it wins over the installed data;
# - the desktop entry passes desktop-file-validate;
# - cpack makes a .deb with the expected files, depending on runtime libraries, not -dev ones.
set -u
build=$(cd "${1:?usage: install_test.sh BUILD_DIR}" && pwd)
fail() { echo "install test: FAILED: $*" >&2; exit 1; }
for tool in desktop-file-validate dpkg-deb dpkg-shlibdeps file cpack; do
  command -v "$tool" > /dev/null || fail "$tool is missing (scripts/install-deps installs it)"
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/pre fix"  # a space on the way must not matter
mkdir -p "$work/empty" "$work/own"

cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install"; }
installed="bin/tarnwick bin/tarnwick-pack bin/tarnwick-render share/applications/tarnwick.desktop
share/icons/hicolor/128x128/apps/tarnwick.png share/icons/hicolor/256x256/apps/tarnwick.png
share/icons/hicolor/32x32/apps/tarnwick.png share/icons/hicolor/64x64/apps/tarnwick.png
share/tarnwick/tarnwick.dat share/tarnwick/tarnwick.it"
(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) > "$work/files"
diff <(echo "$installed" | tr ' ' '\n' | sort) "$work/files" > "$work/files.diff" ||
  { cat "$work/files.diff"; fail "installed files differ from the expected list (< expected, > installed)"; }
for size in 32 64 128 256; do
  file "$prefix/share/icons/hicolor/${size}x$size/apps/tarnwick.png" |
    grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || fail "icon ${size}x$size is no RGBA PNG of that size"
done
cmp -s "$build/bin/tarnwick.dat" "$prefix/share/tarnwick/tarnwick.dat" || fail "installed tarnwick.dat differs"

# The whole show from an empty folder, against the build folder's run.
(cd "$build/bin" && ./tarnwick-render --log -) > "$work/expected.log" || fail "tarnwick-render in build/bin"
(cd "$work/empty" && "$prefix/bin/tarnwick-render" --log -) > "$work/installed.log" 2> "$work/err" ||
  { cat "$work/err"; fail "installed tarnwick-render from an empty folder"; }
grep -q "^end pass" "$work/expected.log" || fail "no end of the show in build/bin's log"
cmp -s "$work/expected.log" "$work/installed.log" ||
  { diff "$work/expected.log" "$work/installed.log" | head; fail "installed log differs from build/bin's"; }
# Relative output paths still mean the folder it was started in.
(cd "$work/empty" && "$prefix/bin/tarnwick-render" --escape-at 2 --log short.log > /dev/null) ||
  fail "installed tarnwick-render --log short.log"
[ -s "$work/empty/short.log" ] || fail "--log short.log was not written into the folder it was started in"
[ -e "$prefix/share/tarnwick/short.log" ] && fail "--log short.log went into the data folder"
rm "$work/empty/short.log"

# The real program finds the data too: it opens the archive and starts without complaint.
(cd "$work/empty" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout -s INT 4 \
  stdbuf -oL "$prefix/bin/tarnwick" > "$work/show.out" 2> "$work/show.err")
grep -q "Filesystem 3.10" "$work/show.out" && ! grep -q "Could not open" "$work/show.out" &&
  ! grep -q "Can't" "$work/show.err" ||
  { cat "$work/show.out" "$work/show.err"; fail "installed tarnwick did not read the installed data"; }

# A folder with its own data wins, even a broken or partial one.
head -c 100 /dev/urandom > "$work/own/tarnwick.it"
cp "$build/bin/tarnwick.dat" "$work/own/"
(cd "$work/own" && "$prefix/bin/tarnwick-render" --log - > /dev/null 2> "$work/err")
[ $? -eq 1 ] && grep -q "Can't play the file" "$work/err" ||
  fail "the folder's own (broken) tarnwick.it was not the one read"
rm "$work/own/tarnwick.it"
(cd "$work/own" && "$prefix/bin/tarnwick-render" --log - > /dev/null 2> "$work/err")
[ $? -eq 1 ] && grep -q "Can't play the file" "$work/err" ||
  fail "a folder holding only tarnwick.dat still has to be the one read"
rm "$work/own/tarnwick.dat"
cp "$build/bin/tarnwick.it" "$work/own/"
(cd "$work/own" && "$prefix/bin/tarnwick-render" --log - > "$work/out" 2>&1)
[ $? -eq 1 ] && grep -q "Could not open" "$work/out" ||
  fail "a folder holding only tarnwick.it still has to be the one read"

desktop-file-validate "$prefix/share/applications/tarnwick.desktop" ||
  fail "desktop-file-validate refuses tarnwick.desktop"

# The Debian package.
rm -f "$build"/tarnwick_*.deb
(cd "$build" && cpack -G DEB > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack -G DEB"; }
deb=$(ls "$build"/tarnwick_*.deb 2> /dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no tarnwick_*.deb"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | sed 's|^\./usr/||' | sort > "$work/deb-files"
diff <(echo "$installed" | tr ' ' '\n' | sort) "$work/deb-files" > "$work/files.diff" ||
  { cat "$work/files.diff"; fail "the .deb's files differ from the expected list (< expected, > in the .deb)"; }
depends=$(dpkg-deb -f "$deb" Depends)
for library in libsdl2-2.0-0 libopenmpt0 libpng16-16 libc6; do
  echo "$depends" | grep -q "\b$library\b" || fail "Depends lacks $library: $depends"
done
echo "$depends" | grep -q -- "-dev\b" && fail "Depends names a -dev package: $depends"
for field in Maintainer Description; do
  [ -n "$(dpkg-deb -f "$deb" $field)" ] || fail "the .deb has no $field"
done
echo "install test: passed; $(basename "$deb"), $(stat -c %s "$deb") bytes, Depends: $depends"
