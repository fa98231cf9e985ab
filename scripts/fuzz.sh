#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehaviorSanitizer) into
# build/fuzz and runs each on a seed corpus made by bglpack.
#   scripts/fuzz.sh short          about a minute in all (the test command runs this)
#   scripts/fuzz.sh long SECONDS   SECONDS for each target
# Prints the executions of each target and exits non-zero when a target finds a crash.
set -euo pipefail
mode=${1:-short}
case "$mode" in
  short) seconds=15 ;;
  long) seconds=${2:?usage: scripts/fuzz.sh long SECONDS} ;;
  *) echo "usage: scripts/fuzz.sh short | long SECONDS" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
targets=(fuzz_decoder fuzz_header fuzz_objects fuzz_ocm)

mkdir -p "$build"
flags="-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGORVANE_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j2 --target "${targets[@]}" make_seeds >"$build/build.log" 2>&1 ||
  { tail -40 "$build/build.log"; exit 1; }

seeds=$build/seeds
rm -rf "$seeds"
"$build/bin/make_seeds" "$seeds"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
total=0
failed=0
for t in "${targets[@]}"; do
  corpus=$build/corpus/${t#fuzz_}
  mkdir -p "$corpus"
  log=$build/$t.log
  start=$(date +%s)
  if (cd "$build" && "$build/bin/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$corpus" "$seeds/${t#fuzz_}" >"$log" 2>&1); then
    status=clean
  else
    status=FAILED
    failed=1
    tail -40 "$log"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  took=$(( $(date +%s) - start ))
  total=$(( total + took ))
  printf '%-13s %-6s %12s executions in %4ss (corpus %s files)\n' "$t" "$status" "${runs:-?}" "$took" \
    "$(ls "$corpus" | wc -l)"
done
echo "fuzzing: ${total}s in all"
exit $failed
