#!/usr/bin/env bash
# windows_build: the 32-bit build where a 32-bit program starts, the 64-bit build (saying why)
# where it does not, whatever the probe prints; the variable decides when set.
# usage: windows_build_test.sh scripts/windows-build.sh
. "$1"
fail=0
expect() {  # EXPECTED (what it says on both outputs, then its status) PROBE...
  local want=$1 got
  shift
  got=$(windows_build "the Windows suite" "$@" 2>&1; echo "status $?")
  [ "$got" = "$want" ] || { printf 'FAILED: GORVANE_WINDOWS_BUILD=%s, probe %s:\n%s\n' "${GORVANE_WINDOWS_BUILD:-}" "$*" "$got"; fail=1; }
}
unset GORVANE_WINDOWS_BUILD
expect $'win32\nstatus 0' sh -c 'echo wine-8.0'
expect $'this machine cannot start 32-bit programs: the Windows suite runs on the 64-bit build\nwin64\nstatus 0' \
  sh -c 'echo "exec: /usr/lib/wine/wine: Exec format error" >&2; echo partial; exit 126'
GORVANE_WINDOWS_BUILD=win64 expect $'GORVANE_WINDOWS_BUILD=win64: the Windows suite runs on the 64-bit build\nwin64\nstatus 0' true
GORVANE_WINDOWS_BUILD=64 expect $'GORVANE_WINDOWS_BUILD is win32 or win64, not \'64\'\nstatus 1' true
exit $fail
