#!/usr/bin/env bash
# Configures and builds one preset (native or win32); quiet unless something goes wrong.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-native}
log=build/$preset-build.log
mkdir -p build
if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j"$(nproc)"; } > "$log" 2>&1; then
  tail -60 "$log"
  echo "build of $preset failed (whole log: $log)" >&2
  exit 1
fi
if grep -q 'warning:' "$log"; then grep 'warning:' "$log" | sort -u | head -20; fi
echo "built $preset"
