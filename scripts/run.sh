#!/usr/bin/env bash
# The main job: installs what is missing, builds, and works on the sample export in the workbench.
# With a display: the real Windows program under wine, with the sample's path already typed in.
# Without one: the same window driven by samples/open-sample.gvs (open, turn each highlighted
# material into one of the nine kinds, save, compile), printing what the user would see, and then
# the report of our checker, bglcheck, on the saved pair. The program folder holds bglcheck as
# bglc, where a user puts the simulator's BGLC, so "Compile BGL" runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh native
work=$(mktemp -d)
mkdir -p "$work/sample" "$work/program"
cp samples/hangar.asm samples/hangar_0.asm "$work/sample/"
echo "The sample pair is copied to $work/sample (the originals stay untouched)."
echo "The program folder $work/program holds our checker bglcheck as bglc, in the place of the"
echo "simulator's BGLC: sources are checked with bglcheck, and what it writes is for Gorvane's own"
echo "readers, not for the simulator."
if [ -n "${DISPLAY:-}" ]; then
  # The 64-bit build where this machine cannot start 32-bit programs.
  . scripts/windows-build.sh
  windows=$(windows_build gorvane.exe)
  bash scripts/build.sh "$windows"
  cp -r "build/$windows/bin/." "$work/program/"
  cp "build/$windows/bin/bglcheck.exe" "$work/program/bglc.exe"
  # Windows forms of the paths: wine maps drive Z: to the root of the file system.
  base="Z:${work//\//\\}\\sample\\hangar"
  printf '%s\r\n%s\r\n' "$base" "$base" > "$work/program/gorvane.ini"
  echo "Starting gorvane.exe under wine: press Open, pick a material, Process, Save, Compile BGL."
  exec cmake/wine.sh "$windows" "$work/program/gorvane.exe" --program-folder "Z:${work//\//\\}\\program"
fi
cp -r build/native/bin/. "$work/program/"
ln -sf bglcheck "$work/program/bglc"
echo "No display: running samples/open-sample.gvs against the workbench window."
GORVANE_SAMPLES="$work/sample" build/native/bin/gorvane --script samples/open-sample.gvs --program-folder "$work/program"
echo
echo "The saved pair, checked with bglcheck, as comp.bat runs it on Windows:"
"$work/program/bglcheck" /bgl "$work/sample/hangar.asm" "$work/sample/hangar.bgl"
echo
echo "The lake and decal sources, checked with bglcheck by hand, as their messages say for BGLC:"
(cd "$work/program" && ./bglcheck /bgl tmpLake.asm && ./bglcheck /bgl tmpDecal.asm)
