#!/usr/bin/env bash
# Builds the project with clang, AddressSanitizer and UndefinedBehaviorSanitizer into build/fuzz,
# then fuzzes or tests there.
#   scripts/fuzz.sh short          each libFuzzer target in turn, about a minute in all
#   scripts/fuzz.sh long SECONDS [TARGET...]   SECONDS for each target (or the ones named)
#   scripts/fuzz.sh suite          the native test suite, built with the same sanitizers
# Each target starts from the seeds make_seeds writes, the inputs it found before
# (build/fuzz/corpus) and the inputs that once failed (fuzz/regressions/NAME), with the words of
# its input language (fuzz/NAME.dict) when it has them. Prints the
# executions of each target and exits non-zero when a target finds a fault or a test fails.
set -euo pipefail
mode=${1:-short}
targets=(fuzz_decoder fuzz_header fuzz_objects fuzz_ocm
         fuzz_assembler fuzz_open fuzz_labels fuzz_tolvard fuzz_settings fuzz_remembered)
case "$mode" in
  short) seconds=$(( 60 / ${#targets[@]} )) ;;
  long) seconds=${2:?usage: scripts/fuzz.sh long SECONDS [TARGET...]}
        [ $# -gt 2 ] && targets=("${@:3}") ;;
  suite) ;;
  *) echo "usage: scripts/fuzz.sh short | long SECONDS [TARGET...] | suite" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz

mkdir -p "$build"
flags="-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGORVANE_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
if [ "$mode" = suite ]; then build_targets=(all); else build_targets=("${targets[@]}" make_seeds); fi
cmake --build "$build" -j2 --target "${build_targets[@]}" >"$build/build.log" 2>&1 ||
  { tail -40 "$build/build.log"; exit 1; }

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

if [ "$mode" = suite ]; then
  # The random workflow sessions are many times slower under the sanitizers: fewer of them here.
  GORVANE_SESSIONS=${GORVANE_SESSIONS:-200} ctest --test-dir "$build" -j2 --output-on-failure
  exit
fi

seeds=$build/seeds
rm -rf "$seeds"
"$build/bin/make_seeds" "$seeds"

total=0
failed=0
for t in "${targets[@]}"; do
  name=${t#fuzz_}
  corpus=$build/corpus/$name
  mkdir -p "$corpus"
  dirs=("$corpus" "$seeds/$name")
  [ -d "$root/fuzz/regressions/$name" ] && dirs+=("$root/fuzz/regressions/$name")
  dict=()
  [ -f "$root/fuzz/$name.dict" ] && dict=(-dict="$root/fuzz/$name.dict")
  log=$build/$t.log
  start=$(date +%s)
  if (cd "$build" && "$build/bin/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "${dict[@]}" "${dirs[@]}" >"$log" 2>&1); then
    status=clean
  else
    status=FAILED
    failed=1
    tail -40 "$log"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  took=$(( $(date +%s) - start ))
  total=$(( total + took ))
  printf '%-15s %-6s %12s executions in %4ss (corpus %s files)\n' "$t" "$status" "${runs:-?}" "$took" \
    "$(ls "$corpus" | wc -l)"
done
echo "fuzzing: ${total}s in all"
exit $failed
