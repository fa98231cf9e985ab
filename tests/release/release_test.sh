#!/usr/bin/env bash
# Makes the release zip of a Windows build, unpacks it into UNPACKED (emptied first) and checks
# what it holds; needs no wine. release_run.sh then runs the unpacked programs.
# usage: release_test.sh CPACK BUILD_DIR win32|win64 UNPACKED
set -u
cpack=$1 build=$2 kind=$3 user=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/pkg" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack could not make the zip"; }
zip=$(ls "$work"/pkg/gorvane-*-$kind.zip 2>/dev/null)
[ -f "$zip" ] || fail "no gorvane-VERSION-$kind.zip was made"
rm -rf "$user" && mkdir -p "$user"
(cd "$user" && cmake -E tar xf "$zip") || fail "the zip does not unpack"
dir=$(ls -d "$user"/gorvane-*-$kind 2>/dev/null)
[ -d "$dir" ] || fail "the zip holds no gorvane-VERSION-$kind folder"
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

# Every program and library is PE32 (32-bit; PE32+ in the 64-bit twin) and carries no debugging
# symbols. Window programs and console programs: the Subsystem field of the PE header (2 and 3).
case "$kind" in win32) magic=267 format=PE32 ;; *) magic=523 format=PE32+ ;; esac
for bin in "$dir"/*.exe "$dir"/*.dll; do
  name=$(basename "$bin")
  pe=$(od -An -tu4 -j60 -N4 "$bin" | tr -d ' ')
  [ "$(od -An -tu2 -j$((pe + 24)) -N2 "$bin" | tr -d ' ')" = "$magic" ] || fail "$name is not $format"
  if grep -q -a '\.debug_info' "$bin"; then fail "$name ships with its debugging symbols"; fi
  [ "${name%.dll}" = "$name" ] || { echo "$name: $format library"; continue; }
  subsystem=$(od -An -tu2 -j$((pe + 92)) -N2 "$bin" | tr -d ' ')
  case "$name" in gorvane.exe|tolvard.exe) want=2 type=window ;; *) want=3 type=console ;; esac
  [ "$subsystem" = "$want" ] || fail "$name is not a $type program (subsystem $subsystem)"
  echo "$name: $format $type program"
done
