#!/usr/bin/env bash
# Runs a program of the 64-bit Windows build under 64-bit wine (the build's emulator; see wine.sh).
exec "$(dirname "$0")/wine.sh" win64 "$@"
