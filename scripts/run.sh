#!/usr/bin/env bash
# Installs what is needed, builds the program and starts it. Without a display it starts
# under a virtual X server.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
# Every option is given each time: a build folder keeps the options of its last configure.
"$top/scripts/build.sh" "$top/build" -DQUILLSPOT_SANITIZE=OFF -DQUILLSPOT_BUILD_TESTS=OFF -DQUILLSPOT_BUILD_BENCH=OFF -UQUILLSPOT_UPDATE_BASE_URL
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a "$top/build/quillspot"
fi
exec "$top/build/quillspot"
