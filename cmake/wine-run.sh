#!/usr/bin/env bash
# Runs a program of the 32-bit Windows build under wine (the build's emulator; see wine.sh).
exec "$(dirname "$0")/wine.sh" win32 "$@"
