#!/usr/bin/env bash
# Installs what is needed, then builds and runs the whole suite twice: once as is, once
# under AddressSanitizer and UndefinedBehaviorSanitizer; then fuzzes every target for 20 s.
# Every stage runs even when an earlier one failed (a stage whose build failed is skipped),
# and the run ends with one line per stage and a count; the exit status is 0 only when no
# stage failed.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

summary=()
passed=0 failed=0 skipped=0
# record NAME RESULT [DETAIL]: RESULT is passed, failed or skipped.
record() {
  summary+=("$1: $2${3:+ ($3)}")
  case $2 in
  passed) passed=$((passed + 1)) ;;
  failed) failed=$((failed + 1)) ;;
  skipped) skipped=$((skipped + 1)) ;;
  esac
}
# stage NAME COMMAND...: runs COMMAND and records how it went.
stage() {
  local name=$1
  shift
  echo "== $name"
  if "$@"; then record "$name" passed; else record "$name" failed; fi
}
# suite NAME BUILD_DIR: runs the tests of BUILD_DIR, when it was built, and records ctest's
# closing line and why tests were skipped (the line after each test's "Skipped").
suite() {
  local name=$1 build=$2 log=$2/ctest-output.txt status closing reasons
  echo "== $name"
  ctest --test-dir "$build" --output-on-failure -j "$jobs" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  closing=$(grep -E "tests passed|No tests were found" "$log" | tail -n 1)
  reasons=$(awk '/(^|: )Skipped$/ { if ((getline line) > 0) print line }' \
    "$build/Testing/Temporary/LastTest.log" 2>/dev/null | sort | uniq -c |
    awk '{ n = $1; $1 = ""; printf "%s%d skipped:%s", sep, n, $0; sep = "; " }')
  if [ "$status" -eq 0 ]; then
    record "$name" passed "$closing${reasons:+; $reasons}"
  else
    record "$name" failed "$closing${reasons:+; $reasons}"
  fi
}

# build_and_test NAME BUILD_DIR [cmake options...]: builds, then runs the tests of that build.
build_and_test() {
  local name=$1 build=$2
  shift 2
  echo "== $name build"
  if "$top/scripts/build.sh" "$build" "$@"; then
    record "$name build" passed
    suite "$name tests" "$build"
  else
    record "$name build" failed
    record "$name tests" skipped "the build failed"
  fi
}

stage "install" "$top/scripts/install-deps.sh" --tests

# Every option is given each time: a build folder keeps the options of its last configure,
# and a test program left from an older build must never be run as if it were current.
# The update server is a loopback port where nothing listens, so no test ever reaches the
# maker's real server; the update tests bring their own.
update="-DQUILLSPOT_UPDATE_BASE_URL=http://127.0.0.1:9/liveupdate/qlspot_app/"
build_and_test "plain" "$top/build" -DQUILLSPOT_SANITIZE=OFF -DQUILLSPOT_BUILD_TESTS=ON \
  -DQUILLSPOT_BUILD_BENCH=ON "$update"

# GCC 12's runtime guesses the size of a dynamically loaded library's thread-local block from
# the bytes before it; when the block happens to sit 16 bytes into a page (libjpeg's, loaded
# with Qt's image plugins, does on Debian 12) it reads garbage and the leak check crashes at
# exit. Without that interception the blocks are still found, as ordinary heap memory
# reachable from each thread's own thread-local area.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0
export LSAN_OPTIONS=suppressions=$top/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
build_and_test "sanitizer" "$top/build-sanitize" -DQUILLSPOT_SANITIZE=ON -DQUILLSPOT_BUILD_TESTS=ON \
  -DQUILLSPOT_BUILD_BENCH=OFF "$update"

# Every parser of outside bytes, fuzzed for 20 s each (scripts/fuzz.sh SECONDS runs longer).
stage "fuzz" "$top/scripts/fuzz.sh" 20

echo
echo "== summary"
printf '%s\n' "${summary[@]}"
echo "stages: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
