#!/usr/bin/env bash
# Runs one script of user actions headless and compares what it printed with the expected text.
# usage: run_script_test.sh GORVANE SCRIPT EXPECTED SAMPLES
# The script sees GORVANE_SAMPLES (a fresh copy of samples/) and a fresh program folder
# (GORVANE_PROGRAM), empty but for the checker GORVANE_TEST_BGLC as bglc when that is set; both
# paths are written as ${GORVANE_SAMPLES} and ${GORVANE_PROGRAM} in the output.
# With UPDATE=1 the expected text is rewritten from the run.
set -u
gorvane=$1 script=$2 expected=$3 samples=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/samples" "$work/program"
cp -r "$samples"/. "$work/samples/"
export GORVANE_SAMPLES="$work/samples" GORVANE_PROGRAM="$work/program"
# The program folder holds our checker as bglc, as a user's holds BGLC.
[ -n "${GORVANE_TEST_BGLC:-}" ] && ln -s "$GORVANE_TEST_BGLC" "$work/program/bglc"
# A script may bring files: NAME.files/ beside it is copied into the program folder.
[ -d "${script%.gvs}.files" ] && cp -r "${script%.gvs}.files"/. "$work/program/"
# ... and a setup: NAME.setup beside it is sourced here (with $work and $gorvane); it may make
# folders, export variables and put more program arguments into the array `args`.
args=()
[ -f "${script%.gvs}.setup" ] && . "${script%.gvs}.setup"
"$gorvane" --script "$script" --program-folder "$work/program" "${args[@]}" > "$work/out.raw" 2>&1
status=$?
# The run's folders are written as ${GORVANE_SAMPLES}, ${GORVANE_PROGRAM} and ${GORVANE_WORK}.
paths=(-e "s#$work/samples#\${GORVANE_SAMPLES}#g" -e "s#$work/program#\${GORVANE_PROGRAM}#g" -e "s#$work#\${GORVANE_WORK}#g")
sed "${paths[@]}" "$work/out.raw" > "$work/out"
echo "exit $status" >> "$work/out"
# Files the script asks to keep are listed after its output (a line "# keep NAME" in the script),
# with the two folders written the same way.
for keep in $(sed -n 's/^# keep //p' "$script"); do
  echo "=== $keep" >> "$work/out"
  f="$work/samples/$keep"; [ -f "$f" ] || f="$work/program/$keep"
  if [ -f "$f" ]; then
    sed -e 's/\r$/\\r/' "${paths[@]}" "$f" >> "$work/out"
  else echo "(missing)" >> "$work/out"; fi
done
if [ "${UPDATE:-0}" = 1 ]; then cp "$work/out" "$expected"; echo "updated $expected"; exit 0; fi
if ! diff -u "$expected" "$work/out"; then
  echo "FAILED: $script differs from $expected"
  exit 1
fi
