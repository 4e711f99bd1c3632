#!/usr/bin/env bash
# The show installed like any other program, from a release build folder ($1):
# - cmake --install into a temporary prefix puts programs, data, desktop entry and icons there;
# - the installed tarnwick-render, run from an unrelated empty folder, finds the installed data
#   and logs the same show as build/bin's; the installed tarnwick (SDL) finds it too;
# - a folder holding its own tarnwick.dat or tarnwick.it wins over the installed data;
# - the desktop entry passes desktop-file-validate, the AppStream metainfo appstreamcli, and
#   the metainfo launches the desktop entry installed under its own id;
# - every manual page renders without a warning and names the licence, tarnwick-render's names
#   every option of the table in ARCHITECTURE.md;
# - the tools answer --help, --version (the project's version, then the MIT licence) and a wrong
#   option;
# - cpack makes a .deb with the expected files, depending on runtime libraries, not -dev ones,
#   that lintian passes without an error or a warning.
set -u
build=$(cd "${1:?usage: install_test.sh BUILD_DIR}" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
harness_name="install test"
. "$source_dir/scripts/lib.sh"
for tool in desktop-file-validate dpkg-deb dpkg-shlibdeps file cpack lintian appstreamcli man; do
  command -v "$tool" > /dev/null || fail "$tool is missing (scripts/install-deps installs it)"
done
use_run_folder
work=$part_dir
prefix="$work/pre fix"  # a space on the way must not matter
mkdir -p "$work/empty" "$work/own"

cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install"; }
app_id=org.tarnwick.Tarnwick
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
installed="games/tarnwick games/tarnwick-pack games/tarnwick-render
share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml
share/doc/tarnwick/copyright share/doc/tarnwick/changelog.gz
share/man/man6/tarnwick.6.gz share/man/man1/tarnwick-render.1.gz share/man/man1/tarnwick-pack.1.gz
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
(cd "$work/empty" && "$prefix/games/tarnwick-render" --log -) > "$work/installed.log" 2> "$work/err" ||
  { cat "$work/err"; fail "installed tarnwick-render from an empty folder"; }
grep -q "^end pass" "$work/expected.log" || fail "no end of the show in build/bin's log"
cmp -s "$work/expected.log" "$work/installed.log" ||
  { diff "$work/expected.log" "$work/installed.log" | head; fail "installed log differs from build/bin's"; }
# Relative output paths still mean the folder it was started in.
(cd "$work/empty" && "$prefix/games/tarnwick-render" --escape-at 2 --log short.log > /dev/null) ||
  fail "installed tarnwick-render --log short.log"
[ -s "$work/empty/short.log" ] || fail "--log short.log was not written into the folder it was started in"
[ -e "$prefix/share/tarnwick/short.log" ] && fail "--log short.log went into the data folder"
rm "$work/empty/short.log"

# The real program finds the data too: it opens the archive and starts without complaint.
(cd "$work/empty" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy PULSE_SERVER=unix:/nonexistent/native timeout -s INT 4 \
  stdbuf -oL "$prefix/games/tarnwick" > "$work/show.out" 2> "$work/show.err")
grep -q "Filesystem 3.10" "$work/show.out" && ! grep -q "Could not open" "$work/show.out" &&
  ! grep -q "Can't" "$work/show.err" ||
  { cat "$work/show.out" "$work/show.err"; fail "installed tarnwick did not read the installed data"; }

# A folder with its own data wins, even a broken or partial one.
head -c 100 /dev/urandom > "$work/own/tarnwick.it"
cp "$build/bin/tarnwick.dat" "$work/own/"
(cd "$work/own" && "$prefix/games/tarnwick-render" --log - > /dev/null 2> "$work/err")
[ $? -eq 1 ] && grep -q "Can't play the file" "$work/err" ||
  fail "the folder's own (broken) tarnwick.it was not the one read"
rm "$work/own/tarnwick.it"
(cd "$work/own" && "$prefix/games/tarnwick-render" --log - > /dev/null 2> "$work/err")
[ $? -eq 1 ] && grep -q "Can't play the file" "$work/err" ||
  fail "a folder holding only tarnwick.dat still has to be the one read"
rm "$work/own/tarnwick.dat"
cp "$build/bin/tarnwick.it" "$work/own/"
(cd "$work/own" && "$prefix/games/tarnwick-render" --log - > "$work/out" 2>&1)
[ $? -eq 1 ] && grep -q "Could not open" "$work/out" ||
  fail "a folder holding only tarnwick.it still has to be the one read"

desktop-file-validate "$prefix/share/applications/$app_id.desktop" ||
  fail "desktop-file-validate refuses $app_id.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
appstreamcli validate --no-net "$metainfo" > "$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log"; fail "appstreamcli validate --no-net refuses $app_id.metainfo.xml"; }
grep -q "<id>$app_id</id>" "$metainfo" &&
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not name $app_id and launch $app_id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's releases lack $version"
grep -q "flashes a picture on every beat" "$metainfo" || fail "the metainfo does not warn of the flashing"
grep -q "<project_license>MIT</project_license>" "$metainfo" || fail "the metainfo's project licence is not MIT"

# Manual pages: no warning from man, and tarnwick-render's page names every option.
for page in man6/tarnwick.6.gz man1/tarnwick-render.1.gz man1/tarnwick-pack.1.gz; do
  MANWIDTH=80 man --warnings -l "$prefix/share/man/$page" > "$work/page" 2> "$work/page.err" ||
    fail "man -l $page"
  [ ! -s "$work/page.err" ] || { cat "$work/page.err"; fail "man --warnings has warnings for $page"; }
  grep -q "^NAME" "$work/page" && grep -q "tarnwick $version" "$work/page" ||
    fail "$page has no NAME section or does not name version $version"
  sed -n '/^COPYRIGHT/,/^[A-Z]/p' "$work/page" | tr -s ' ' | grep -q "MIT licence" ||
    fail "$page has no COPYRIGHT section naming the MIT licence"
  cp "$work/page" "$work/$(basename "$page" .gz)"
done
options=$(sed -n "/^### tarnwick-render's command line/,/^## /p" "$source_dir/ARCHITECTURE.md" | grep '^| `' |
  cut -d'|' -f2 | grep -o -- '--[a-z][a-z-]*' | sort -u)
[ "$(echo "$options" | wc -l)" -ge 10 ] || fail "no option table found in ARCHITECTURE.md"
for option in $options --help --version; do
  grep -qE "^ +$option( |$)" "$work/tarnwick-render.1" || fail "tarnwick-render(1) does not describe $option"
done

# --help: usage on standard output, exit 0; --version: name and version, then the licence; a
# wrong option: usage on standard error, exit 2.
for tool in tarnwick-render tarnwick-pack; do
  "$prefix/games/$tool" --help > "$work/out" 2> "$work/err"
  [ $? -eq 0 ] && grep -q "^usage: $tool" "$work/out" && [ ! -s "$work/err" ] ||
    fail "$tool --help must print the usage on standard output and exit 0"
  "$prefix/games/$tool" --version > "$work/out"
  [ "$(sed -n 1p "$work/out")" = "$tool $version" ] || fail "$tool --version's first line is not \"$tool $version\""
  sed -n 2p "$work/out" | grep -q "MIT licence" || fail "$tool --version's second line does not name the MIT licence"
  "$prefix/games/$tool" --no-such-option > "$work/out" 2> "$work/err"
  [ $? -eq 2 ] && grep -q "usage: $tool" "$work/err" && [ ! -s "$work/out" ] ||
    fail "$tool with a wrong option must print the usage on standard error and exit 2"
done

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
maintainer=$(sed -n 's/^TARNWICK_MAINTAINER:STRING=//p' "$build/CMakeCache.txt")
[ "$(dpkg-deb -f "$deb" Maintainer)" = "$maintainer" ] || fail "Maintainer is not TARNWICK_MAINTAINER ($maintainer)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] && [ "$(dpkg-deb -f "$deb" Section)" = games ] ||
  fail "the .deb is not version $version in section games"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/tarnwick/changelog.gz | zcat | head -n 1 |
  grep -q "^tarnwick ($version) " || fail "the changelog's first entry is not version $version"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/tarnwick/copyright |
  cmp -s - "$source_dir/packaging/copyright" || fail "the .deb's copyright differs from packaging/copyright"
# lintian refuses to run as root unless told.
lintian_as=()
[ "$(id -u)" -eq 0 ] && lintian_as=(--allow-root)
lintian "${lintian_as[@]}" --fail-on error,warning "$deb" > "$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log"; fail "lintian finds errors or warnings in $(basename "$deb")"; }
say "passed; $(basename "$deb"), $(stat -c %s "$deb") bytes, Depends: $depends"
