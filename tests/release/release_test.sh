#!/usr/bin/env bash
# usage: release_test.sh CPACK BUILD_DIR SNAPDIR
set -u
cpack=$1 build=$2 snaps=$3
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/pkg" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack could not make the zip"; }
zip=$(ls "$work"/pkg/gorvane-*-win32.zip 2>/dev/null)
[ -f "$zip" ] || fail "no gorvane-VERSION-win32.zip was made"
mkdir "$work/user"
(cd "$work/user" && cmake -E tar xf "$zip") || fail "the zip does not unpack"
dir=$(ls -d "$work"/user/gorvane-*-win32 2>/dev/null)
[ -d "$dir" ] || fail "the zip holds no gorvane-VERSION-win32 folder"
echo "$(basename "$zip"):"; (cd "$dir" && find . -type f | sort | sed 's#^\./#  #')

# What ships, and nothing else.
for f in gorvane.exe bglunpack.dll bglcheck.exe check/bglc.inc check/model.inc bglpack.exe fx_list.txt README.txt \
         samples/hangar.asm samples/hangar_0.asm samples/open-sample.gvs; do
  [ -f "$dir/$f" ] || fail "$f is missing"
done
while IFS= read -r f; do
  case "$f" in
    ./samples/*|./check/*.inc|./fx_list.txt|./README.txt|./bglunpack.dll) ;;
    ./bglc.exe) fail "bglc.exe ships: BGLC is the user's, from the simulator's SDK" ;;
    ./*/*) fail "${f#./} does not ship" ;;
    ./*.exe) if grep -q -a -e '--gtest_' -e '--benchmark_' "$dir/$f"; then fail "${f#./} is a test or benchmark"; fi ;;
    *) fail "${f#./} does not ship" ;;
  esac
done < <(cd "$dir" && find . -type f)

# Window programs and console programs: the Subsystem field of the PE header (2 and 3); no
# program carries its debugging symbols.
for exe in "$dir"/*.exe; do
  name=$(basename "$exe")
  pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
  subsystem=$(od -An -tu2 -j$((pe + 92)) -N2 "$exe" | tr -d ' ')
  case "$name" in gorvane.exe|tolvard.exe) want=2 kind=window ;; *) want=3 kind=console ;; esac
  [ "$subsystem" = "$want" ] || fail "$name is not a $kind program (subsystem $subsystem)"
  if grep -q -a '\.debug_info' "$exe"; then fail "$name ships with its debugging symbols"; fi
  echo "$name: $kind program"
done

# A scripted run of the window program prints into the console it was started from; the
# script's name is read from where it was started, not from the program folder.
export WINEPREFIX=$here/build/wineprefix
"$here/cmake/wine-prefix.sh"
printf 'print InputFile.visible\r\n' > "$work/one.gvs"
said=$(cd "$work" && "$here/cmake/wine-run.sh" "$dir/gorvane.exe" --script one.gvs 2>&1)
[[ "$said" == *"InputFile.visible: 1"* ]] || fail "gorvane.exe --script printed nothing: $said"
echo "gorvane.exe --script prints: ${said%%$'\r'*}"

# The sample script through the unzipped folder: open, process, save, and "Compile BGL", which
# finds no BGLC there and says so in a box instead of writing and starting comp.bat.
said=$(env -u GORVANE_TEST_BGLC "$here/tests/gui/run_smoke.sh" "$dir/gorvane.exe" "$dir/samples/open-sample.gvs" \
  "$dir/samples" "$snaps" "Form1:MsgText:Done." "nofile:comp.bat" "nofile:hangar.bgl")
status=$?
echo "$said"
[ $status = 0 ] || fail "the sample script through the unzipped folder"
[[ "$said" == *"[box exclamation] Gorvane: BGLC, the BGL compiler, is missing: there is no bglc.exe"* ]] ||
  fail "Compile BGL showed no box about the missing BGLC"
# With a bglc.exe in the program folder (our checker under that name) comp.bat runs it.
GORVANE_TEST_BGLC="$dir/bglcheck.exe" "$here/tests/gui/run_smoke.sh" "$dir/gorvane.exe" \
  "$dir/samples/open-sample.gvs" "$dir/samples" "$snaps/bglc" "Form1:MsgText:Done." "file:hangar.bgl"
exit $?
