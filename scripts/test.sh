#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the native suite, the same suite
# cross-built and run under wine (with the script tests, the GUI smoke tests and the release zip),
# the native suite again built with AddressSanitizer + UndefinedBehaviorSanitizer (in the fuzz
# build) and a short fuzz run.
# The Windows suite runs on the 32-bit build where this machine can start 32-bit programs, and on
# the 64-bit build where it cannot (GORVANE_WINDOWS_BUILD=win64 takes that road anyway). The
# 32-bit build and its release zip, which is what ships, are made and checked on every machine.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1
. scripts/windows-build.sh
windows=$(windows_build "the Windows suite") || exit 1
passed=0 failed=0
summary() {  # adds the counts of a ctest log
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$1" | tail -1)
  [ -n "$line" ] || { failed=$((failed + 1)); return; }
  local f t
  f=$(sed -E 's/.*, ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.*, ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((passed + t - f)); failed=$((failed + f))
}
suite() {  # PRESET [CTEST ARGS...]: builds the preset and runs its tests
  local preset=$1
  shift
  if bash scripts/build.sh "$preset"; then
    ctest --preset "$preset" -j2 "$@" 2>&1 | tee "build/$preset-test.log"
    summary "build/$preset-test.log"
  else
    failed=$((failed + 1))
  fi
}
suite native
if [ "$windows" = win32 ]; then
  suite win32
else
  suite win32 -R '^release_zip$'  # the zip that ships: made and checked without running it
  suite win64
fi
if [ -x scripts/fuzz.sh ]; then
  bash scripts/fuzz.sh suite 2>&1 | tee build/sanitized-test.log
  summary build/sanitized-test.log
  if bash scripts/fuzz.sh short; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
fi
echo
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
