#!/usr/bin/env bash
# Runs the release that release_test.sh unpacked into UNPACKED, under the build's wine.
# usage: release_run.sh WINE UNPACKED SNAPDIR
set -u
wine=$1 user=$2 snaps=$3
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
dir=$(ls -d "$user"/gorvane-*-win* 2>/dev/null)
[ -d "$dir" ] || fail "nothing unpacked in $user"

# A scripted run of the window program prints into the console it was started from; the
# script's name is read from where it was started, not from the program folder.
printf 'print InputFile.visible\r\n' > "$work/one.gvs"
said=$(cd "$work" && "$wine" "$dir/gorvane.exe" --script one.gvs 2>&1)
[[ "$said" == *"InputFile.visible: 1"* ]] || fail "gorvane.exe --script printed nothing: $said"
echo "gorvane.exe --script prints: ${said%%$'\r'*}"

# The sample script through the unzipped folder: open, process, save, and "Compile BGL", which
# finds no BGLC there and says so in a box instead of writing and starting comp.bat.
said=$(env -u GORVANE_TEST_BGLC "$here/tests/gui/run_smoke.sh" "$wine" "$dir/gorvane.exe" "$dir/samples/open-sample.gvs" \
  "$dir/samples" "$snaps" "Form1:MsgText:Done." "nofile:comp.bat" "nofile:hangar.bgl")
status=$?
echo "$said"
[ $status = 0 ] || fail "the sample script through the unzipped folder"
[[ "$said" == *"[box exclamation] Gorvane: BGLC, the BGL compiler, is missing: there is no bglc.exe"* ]] ||
  fail "Compile BGL showed no box about the missing BGLC"
# With a bglc.exe in the program folder (our checker under that name) comp.bat runs it.
GORVANE_TEST_BGLC="$dir/bglcheck.exe" "$here/tests/gui/run_smoke.sh" "$wine" "$dir/gorvane.exe" \
  "$dir/samples/open-sample.gvs" "$dir/samples" "$snaps/bglc" "Form1:MsgText:Done." "file:hangar.bgl"
