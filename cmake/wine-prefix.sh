#!/usr/bin/env bash
# Makes the wine prefix of a Windows build (win32, the default, or win64) ready before tests
# start programs in it side by side. Safe to call again.
exec "$(dirname "$0")/wine.sh" "${1:-win32}" --ready
