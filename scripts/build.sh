#!/usr/bin/env bash
# Configures and builds one preset (native, win32 or win64); quiet unless something goes wrong.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-native}
log=build/$preset-build.log
mkdir -p build
# The Windows build also makes the release zip, build/win32/gorvane-VERSION-win32.zip.
target=all
[ "$preset" = win32 ] && target=package
if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j"$(nproc)" --target "$target"; } > "$log" 2>&1; then
  tail -60 "$log"
  echo "build of $preset failed (whole log: $log)" >&2
  exit 1
fi
if grep -q 'warning:' "$log"; then grep 'warning:' "$log" | sort -u | head -20; fi
echo "built $preset"
