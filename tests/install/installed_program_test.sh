#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves the installed tree to another folder (so that nothing can reach
# it by the path it was installed to) and renders the demo song with the installed program, with no environment
# pointing at resources or modules: it must find both beside itself. The user's documents go to the XDG data
# folder, as always.
#   installed_program_test.sh CMAKE BUILD-FOLDER
set -euo pipefail
cmake=$1
build=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$work/staged" >/dev/null
mv "$work/staged" "$work/moved"
prefix=$work/moved
resources=$prefix/share/Orvo-Tunedeck2/resources

for file in bin/Orvo-Tunedeck2 bin/korvelshell lib/Orvo-Tunedeck2/AudioModules/Orvo-Tunedeck2-Extension.so \
            share/applications/Orvo-Tunedeck2.desktop share/Orvo-Tunedeck2/resources/default.mid \
            share/Orvo-Tunedeck2/resources/soundfont1.sf2 share/Orvo-Tunedeck2/resources/gs_instruments.dls \
            share/icons/hicolor/256x256/apps/Orvo-Tunedeck2.png; do
  [ -e "$prefix/$file" ] || fail "the install has no $file"
done
[ -z "$(find "$prefix" -name CMakeFiles -o -name '*.cmake' -o -name Makefile)" ] || fail "build files were installed"
grep -q '^Exec=Orvo-Tunedeck2 %F$' "$prefix/share/applications/Orvo-Tunedeck2.desktop" || fail "desktop entry"
grep -q '^Icon=Orvo-Tunedeck2$' "$prefix/share/applications/Orvo-Tunedeck2.desktop" || fail "desktop entry's icon"
[ "$(file -b "$prefix/share/icons/hicolor/256x256/apps/Orvo-Tunedeck2.png" | cut -d, -f1-2)" = "PNG image data, 256 x 256" ] ||
  fail "the icon is no 256 x 256 PNG picture"

wav=$work/demo.wav
(cd "$work" && env -u TUNEDECK_RESOURCES -u TUNEDECK_DOCUMENTS -u DISPLAY -u WAYLAND_DISPLAY \
   HOME="$work/home" XDG_DATA_HOME="$work/data" \
   "$prefix/bin/Orvo-Tunedeck2" -v --render "$wav" --midi "$resources/default.mid" >"$work/out.txt" 2>"$work/log.txt") ||
  { cat "$work/out.txt" "$work/log.txt" >&2; fail "the installed program did not render"; }

grep -q "The app's resources path is: $resources\$" "$work/log.txt" || fail "resources were not taken from the install"
grep -q "$build" "$work/log.txt" "$work/out.txt" && fail "the installed program named the build folder"
grep -q "into '$wav'" "$work/out.txt" || fail "the summary does not name the WAV file"
[ -f "$work/data/Orvo-Tunedeck2/Documents/default.mid" ] || fail "no documents folder under XDG_DATA_HOME"
peak=$(sox "$wav" -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}')
awk -v peak="$peak" 'BEGIN { exit !(peak > 0.01) }' || fail "the demo song is silent (peak $peak)"
echo "installed program rendered the demo song, peak $peak"
