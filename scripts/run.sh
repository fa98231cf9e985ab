#!/usr/bin/env bash
# The main job: installs what is missing, builds, and works on the sample export in the workbench.
# With a display: the real Windows program under wine, with the sample's path already typed in.
# Without one: the same window driven by samples/open-sample.gvs (open, turn each highlighted
# material into one of the nine kinds, save, compile), printing what the user would see, and then
# the compiler's own report on the saved pair.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh native
work=$(mktemp -d)
mkdir -p "$work/sample" "$work/program"
cp samples/hangar.asm samples/hangar_0.asm "$work/sample/"
echo "The sample pair is copied to $work/sample (the originals stay untouched)."
if [ -n "${DISPLAY:-}" ]; then
  # The 64-bit build where this machine cannot start 32-bit programs.
  . scripts/windows-build.sh
  windows=$(windows_build gorvane.exe)
  bash scripts/build.sh "$windows"
  cp -r "build/$windows/bin/." "$work/program/"
  # Windows forms of the paths: wine maps drive Z: to the root of the file system.
  base="Z:${work//\//\\}\\sample\\hangar"
  printf '%s\r\n%s\r\n' "$base" "$base" > "$work/program/gorvane.ini"
  echo "Starting gorvane.exe under wine: press Open, pick a material, Process, Save, Compile BGL."
  exec cmake/wine.sh "$windows" "$work/program/gorvane.exe" --program-folder "Z:${work//\//\\}\\program"
fi
cp -r build/native/bin/. "$work/program/"
echo "No display: running samples/open-sample.gvs against the workbench window."
GORVANE_SAMPLES="$work/sample" build/native/bin/gorvane --script samples/open-sample.gvs --program-folder "$work/program"
echo
echo "Compiling the saved pair, as comp.bat does on Windows:"
"$work/program/bglc" /bgl "$work/sample/hangar.asm" "$work/sample/hangar.bgl"
echo
echo "Compiling the lake and decal sources by hand, as their messages say:"
(cd "$work/program" && ./bglc /bgl tmpLake.asm && ./bglc /bgl tmpDecal.asm)
