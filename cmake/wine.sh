#!/usr/bin/env bash
# Runs the programs of one Windows build under wine, in a private, quiet prefix in the build tree.
#   wine.sh win32|win64 PROGRAM ARGS...   runs PROGRAM (the prefix is made on its first use)
#   wine.sh win32|win64 --ready           makes the prefix ready and returns
#   wine.sh win32|win64 --stop            ends the prefix's wine session (server and programs)
#   wine.sh win32|win64 --prefix          prints the prefix
# WINEPREFIX, when set, names the prefix. The 32-bit build runs under Debian's wine; the 64-bit
# build starts the 64-bit loader itself, because /usr/bin/wine takes the 32-bit loader whenever
# wine32 is installed, even on a machine that cannot start it.
here=$(cd "$(dirname "$0")/.." && pwd)
case "${1:-}" in
  win32) loader=wine server=wineserver prefix=$here/build/wineprefix ;;
  win64) loader=/usr/lib/wine/wine64 server=/usr/lib/wine/wineserver64 prefix=$here/build/wineprefix64
         export WINELOADER=$loader WINESERVER=$server ;;
  *) echo "usage: wine.sh win32|win64 PROGRAM ARGS... | --ready | --stop | --prefix" >&2; exit 2 ;;
esac
shift
export WINEPREFIX=${WINEPREFIX:-$prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# The first start of a prefix takes a while; programs started side by side wait for it under a
# lock. wine draws its own window frames (Xvfb has no window manager).
ready() {
  [ -f "$WINEPREFIX/.gorvane-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    [ -f "$WINEPREFIX/.gorvane-ready" ] && exit 0
    "$loader" wineboot -i >/dev/null 2>&1
    "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    "$server" -w
    touch "$WINEPREFIX/.gorvane-ready"
  ) 9>"$WINEPREFIX/.gorvane-lock"
}

case "${1:-}" in
  --ready) ready ;;
  --stop) "$server" -k >/dev/null 2>&1; exit 0 ;;
  --prefix) echo "$WINEPREFIX" ;;
  *) ready; exec "$loader" "$@" ;;
esac
