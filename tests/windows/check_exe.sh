#!/usr/bin/env bash
# The Windows program is self-contained: it imports only DLLs every Windows has, and it holds its
# own resources (the popup dialog, the icon, the manifest, the version information) and the
# window's class and title. With the zip: it holds the program, its data, its licence and the
# notices of the libraries linked into it.
#   check_exe.sh tarnwick.exe [tarnwick-windows.zip]
set -euo pipefail
exe=${1:?usage: check_exe.sh tarnwick.exe [tarnwick-windows.zip]}
zip=${2:-}
. "$(dirname "$0")/../../scripts/lib.sh"
[ -f "$exe" ] || fail "no $exe"

imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
[ -n "$imports" ] || fail "no import table in $exe"
for dll in $imports; do
  case "$dll" in
    DDRAW.DLL | USER32.DLL | GDI32.DLL | KERNEL32.DLL | WINMM.DLL | OLE32.DLL | DSOUND.DLL | MSVCRT.DLL | UCRTBASE.DLL | API-MS-WIN-CRT-*.DLL) ;;
    *) fail "$exe imports $dll, which not every Windows has (a DLL left to link statically?)" ;;
  esac
done
for dll in DDRAW.DLL USER32.DLL WINMM.DLL OLE32.DLL; do
  grep -qx "$dll" <<<"$imports" || fail "$exe does not import $dll"
done
say "imports $(echo $imports)"

resources=$(x86_64-w64-mingw32-windres -i "$exe" -O rc 2>&1) || fail "windres cannot read the resources: $resources"
grep -q '^"DDU_POPUPW" DIALOGEX' <<<"$resources" || fail "no dialog ddu_popupw"
grep -q 'LTEXT "", 102,' <<<"$resources" || fail "the popup has no text control 102"
grep -q 'DEFPUSHBUTTON "OK", 1,' <<<"$resources" || fail "the popup has no OK button with command 1"
grep -q '^"ICONBIG" 14 /\* RT_GROUP_ICON \*/' <<<"$resources" || fail "no icon iconbig"
grep -q '"\\040\\040\\000\\000", 1, 32,' <<<"$resources" || fail "iconbig is not one 32x32 32-bit image"
# The application manifest: DPI aware (the window covers real pixels), common controls 6 (the
# popup and message boxes in the system's look), Windows 7 to 11.
manifest=$(sed -n '/^1 24 \/\* RT_MANIFEST \*\//,/^END/p' <<<"$resources" | sed -n 's/^ *"\(.*\)\\n"$/\1/p' |
  sed 's/""/"/g' | tr '\n' ' ' | tr -s ' ')
[ -n "$manifest" ] || fail "no application manifest (resource 1 of type 24)"
grep -q '<dpiAware [^>]*>true' <<<"$manifest" || fail "the manifest does not make the program DPI aware"
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' <<<"$manifest" ||
  fail "the manifest does not ask for common controls 6"
for os in 35138b9a-5d96-4fbd-8e2d-a2440225f93a 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  grep -q "<supportedOS Id=\"{$os}\"/>" <<<"$manifest" || fail "the manifest does not name the system {$os}"
done
# The version information the file's Properties show.
grep -q '^ FILEVERSION 1, 0, 0, 0$' <<<"$resources" || fail "no VERSIONINFO with file version 1.0.0"
for value in '"ProductName", "Tarnwick"' '"FileVersion", "1.0.0"' '"FileDescription", "Tarnwick, '; do
  grep -qF "VALUE $value" <<<"$resources" || fail "the version information has no $value"
done
for text in "orvel demo" "$window_title"; do
  grep -qaF "$text" "$exe" || fail "the window's \"$text\" is not in the exe"
done
say "dialog ddu_popupw, icon iconbig, manifest (DPI aware, common controls 6, Windows 7 to 11), version 1.0.0, class and title present; $(stat -c %s "$exe") bytes"

[ -n "$zip" ] || exit 0
listing=$(unzip -Z1 "$zip") || fail "unzip cannot read $zip"
for file in tarnwick.exe tarnwick.dat tarnwick.it README.txt LICENSE.txt THIRD-PARTY.txt; do
  grep -qx "tarnwick-windows/$file" <<<"$listing" || fail "$zip lacks tarnwick-windows/$file"
done
grep -q "^License: MIT" <<<"$(unzip -p "$zip" tarnwick-windows/LICENSE.txt)" || fail "LICENSE.txt does not grant MIT"
notices=$(unzip -p "$zip" tarnwick-windows/THIRD-PARTY.txt | tr -d '\r')
# libopenmpt at the version of Debian's source package it was built from, with its licence.
version=$(dpkg-query -W -f='${Version}' libopenmpt-dev)
section=$(sed -n '/^libopenmpt/,/^=====/p' <<<"$notices")
grep -q "^Version: ${version%-*}[+ ].*(Debian $version)$" <<<"$section" &&
  grep -q "Linked: libopenmpt.a" <<<"$section" && grep -q "OpenMPT Project Developers" <<<"$section" ||
  fail "THIRD-PARTY.txt does not name libopenmpt $version with its licence"
grep -q "^Linked: .*libstdc++.a" <<<"$notices" && grep -q "GCC RUNTIME LIBRARY EXCEPTION" <<<"$notices" ||
  fail "THIRD-PARTY.txt does not name libstdc++ with the GCC runtime library exception"
grep -q "^Linked: .*libmingwex.a" <<<"$notices" || fail "THIRD-PARTY.txt does not name the mingw-w64 runtime"
say "$zip holds the program, LICENSE.txt (MIT) and THIRD-PARTY.txt (libopenmpt $version, GCC and mingw-w64 runtimes)"
