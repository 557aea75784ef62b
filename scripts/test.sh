#!/usr/bin/env bash
# Installs what is needed, then builds and runs the whole suite twice: once as is, once
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" --tests
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

# Every option is given each time: a build folder keeps the options of its last configure,
# and a test program left from an older build must never be run as if it were current.
# The update server is a loopback port where nothing listens, so no test ever reaches the
# maker's real server; the update tests bring their own.
update="-DQUILLSPOT_UPDATE_BASE_URL=http://127.0.0.1:9/liveupdate/qlspot_app/"
"$top/scripts/build.sh" "$top/build" -DQUILLSPOT_SANITIZE=OFF -DQUILLSPOT_BUILD_TESTS=ON -DQUILLSPOT_BUILD_BENCH=ON "$update"
ctest --test-dir "$top/build" --output-on-failure -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$top/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$top/scripts/build.sh" "$top/build-sanitize" -DQUILLSPOT_SANITIZE=ON -DQUILLSPOT_BUILD_TESTS=ON -DQUILLSPOT_BUILD_BENCH=OFF "$update"
ctest --test-dir "$top/build-sanitize" --output-on-failure -j "$jobs"

# Every parser of outside bytes, fuzzed for 20 s each (scripts/fuzz.sh SECONDS runs longer).
"$top/scripts/fuzz.sh" 20
