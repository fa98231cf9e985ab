#!/usr/bin/env bash
# The main job: installs what is missing, builds, and opens the sample export in the workbench.
# With a display: the real Windows program under wine. Without one: the same window driven by a
# script, printing what the user would see.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh native
export GORVANE_SAMPLES=$PWD/samples
program=$(mktemp -d)
if [ -n "${DISPLAY:-}" ]; then
  bash scripts/build.sh win32
  cp -r build/win32/bin/. "$program/"
  echo "Starting gorvane.exe under wine; type ${GORVANE_SAMPLES}/hangar (or Z:${GORVANE_SAMPLES//\//\\}\\hangar) and press Open."
  exec cmake/wine-run.sh "$program/gorvane.exe"
fi
echo "No display: running samples/open-sample.gvs against the workbench window."
build/native/bin/gorvane --script samples/open-sample.gvs --program-folder "$program"
