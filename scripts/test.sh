#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs every test: the native suite, the same
# suite cross-built and run under wine, the script tests, the GUI smoke tests, the native suite
# again built with AddressSanitizer + UndefinedBehaviorSanitizer (in the fuzz build), and a short
# fuzz run.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1
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
for preset in native win32; do
  if bash scripts/build.sh "$preset"; then
    [ "$preset" = win32 ] && cmake/wine-prefix.sh
    ctest --preset "$preset" -j2 2>&1 | tee "build/$preset-test.log"
    summary "build/$preset-test.log"
  else
    failed=$((failed + 1))
  fi
done
if [ -x scripts/fuzz.sh ]; then
  bash scripts/fuzz.sh suite 2>&1 | tee build/sanitized-test.log
  summary build/sanitized-test.log
  if bash scripts/fuzz.sh short; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
fi
echo
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
