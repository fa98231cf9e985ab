#!/usr/bin/env bash
# GUI smoke test: runs a script through the real Win32 windows of gorvane.exe under wine (on Xvfb
# when no display is set), then checks the native controls that --snap recorded and keeps the
# pictures in SNAPDIR.
# usage: run_smoke.sh WINE GORVANE_EXE SCRIPT SAMPLES SNAPDIR CHECK...
#   WINE is the Windows build's emulator (cmake/wine-run.sh or cmake/wine64-run.sh).
#   SMOKE_ARGS (environment): more arguments for the program, after its own options.
#   GORVANE_TEST_BGLC (environment): the program copied into the program folder as bglc.exe.
#   CHECK is WINDOW:CONTROL:TEXT — the native text of that control must contain TEXT —
#   or file:NAME — a file of that name must appear in the samples copy — or nofile:NAME — no file
#   of that name is in the samples copy or the program folder when the script has ended — or
#   out:TEXT — the script's output (boxes and their answers among it) holds that line.
set -u
wine=$1 exe=$2 script=$3 samples=$4 snaps=$5
shift 5
work=$(mktemp -d)
# The windows get a wine prefix of their own: a wine session keeps the display it started with,
# and the other tests start theirs without one. Smoke tests run one at a time (a CTest lock), and
# each ends its session before its display goes.
WINEPREFIX=$("$wine" --prefix)-gui
export WINEPREFIX
cleanup() {
  "$wine" --stop
  [ -n "${xvfb_pid:-}" ] && kill $xvfb_pid 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
"$wine" --stop
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    if [ ! -e /tmp/.X$n-lock ]; then
      Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=:$n
      # The display is usable once its socket is there (a busy machine may take seconds).
      for _ in $(seq 1 100); do [ -S /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
      [ -S /tmp/.X11-unix/X$n ] || { echo "FAILED: Xvfb :$n did not start"; exit 1; }
      sleep 0.3
      break
    fi
  done
fi
mkdir -p "$work/samples" "$work/program" "$snaps"
cp -r "$samples"/. "$work/samples/"
# The program folder holds what ships beside gorvane.exe (bglcheck, its macro folder ...) and,
# when GORVANE_TEST_BGLC names it, our checker as bglc.exe, where a user puts BGLC.
cp -r "$(dirname "$exe")"/. "$work/program/"
[ -n "${GORVANE_TEST_BGLC:-}" ] && cp "$GORVANE_TEST_BGLC" "$work/program/bglc.exe"
"$wine" --ready
# Windows form of a path: wine maps drive Z: to the root of the file system.
win() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
export GORVANE_SAMPLES=$(win "$work/samples")
"$wine" "$work/program/$(basename "$exe")" --script "$(win "$script")" \
  --snap "$(win "$snaps")" --program-folder "$(win "$work/program")" --out "$(win "$work/out.txt")" \
  ${SMOKE_ARGS:-}
status=$?
cat "$work/out.txt" 2>/dev/null
[ $status = 0 ] || { echo "FAILED: the script ended with status $status"; exit 1; }
fail=0
ls "$snaps"/*.txt >/dev/null 2>&1 || { echo "FAILED: no snapshot was written into $snaps"; fail=1; }
for check in "$@"; do
  window=${check%%:*}; rest=${check#*:}; control=${rest%%:*}; text=${rest#*:}
  if [ "$window" = out ]; then
    tr -d '\r' < "$work/out.txt" | grep -qxF -- "$rest" || { echo "FAILED: the output has no line '$rest'"; fail=1; }
    continue
  fi
  if [ "$window" = nofile ]; then
    for f in "$work/samples/$rest" "$work/program/$rest"; do
      [ -e "$f" ] && { echo "FAILED: ${f#$work/} was written"; fail=1; }
    done
    continue
  fi
  if [ "$window" = file ]; then
    # file:NAME — a file that a program started by the run leaves in the samples copy (waits up to 60 s).
    for _ in $(seq 1 120); do [ -s "$work/samples/$rest" ] && break; sleep 0.5; done
    if [ -s "$work/samples/$rest" ]; then echo "found $rest ($(stat -c %s "$work/samples/$rest") bytes)"
    else echo "FAILED: $rest did not appear"; ls -l "$work/samples" "$work/program"/*.bat 2>/dev/null; fail=1; fi
    continue
  fi
  line=$(grep -P "^\Q$control\E\t" "$snaps/$window.txt" | head -1)
  if [ -z "$line" ] || [[ "$line" != *"$text"* ]]; then
    echo "FAILED: $window.$control does not show '$text': ${line:-(no such control)}"; fail=1
  fi
  [ -s "$snaps/$window.png" ] || { echo "FAILED: no picture of $window"; fail=1; }
done
exit $fail
