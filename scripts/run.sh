#!/usr/bin/env bash
# Installs what is needed, builds the program and starts it as a local demo (scripts/demo.sh).
# Without a display it starts under a virtual X server. QUILLSPOT_BUILD_DIR names the build
# folder (build/ by default).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLSPOT_BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
# Every option is given each time: a build folder keeps the options of its last configure.
"$top/scripts/build.sh" "$build" -DQUILLSPOT_SANITIZE=OFF -DQUILLSPOT_BUILD_TESTS=OFF -DQUILLSPOT_BUILD_BENCH=OFF -UQUILLSPOT_UPDATE_BASE_URL
exec "$top/scripts/demo.sh" "$build"
