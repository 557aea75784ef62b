#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz/, and runs each for SECONDS (20 by default) from its seed corpus in
# fuzz/corpus/. A crash, a leak, a sanitizer report or an input slower than 10 s fails the run;
# the input that did it is kept in build-fuzz/findings/. New inputs the targets find go to
# build-fuzz/corpus/, never into the repository.
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
build=$top/build-fuzz
# Only the targets and the libraries they need are built.
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DQUILLSPOT_FUZZ=ON -DQUILLSPOT_SANITIZE=OFF \
  -DQUILLSPOT_BUILD_TESTS=OFF -DQUILLSPOT_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzzers

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$top/scripts/lsan.supp:print_suppressions=0
mkdir -p "$build/findings"
failed=()
for seeds in "$top"/fuzz/corpus/*/; do
  name=$(basename "$seeds")
  mkdir -p "$build/corpus/$name"
  echo "== $name: $seconds s"
  if ! "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$name-" \
      "$build/corpus/$name" "$seeds" >"$build/$name.log" 2>&1; then
    tail -n 40 "$build/$name.log"
    failed+=("$name")
  else
    grep -E "^stat::number_of_executed_units|^Done" "$build/$name.log" | tr '\n' ' '; echo
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "FUZZING FOUND PROBLEMS IN: ${failed[*]} (inputs in $build/findings/)" >&2
  exit 1
fi
echo "every fuzz target ran $seconds s without a finding"
