#!/usr/bin/env bash
# Installs what is needed, builds the program for release and leaves its Debian package,
# quillspot_<version>_<arch>.deb, in build-package/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" --package
"$top/scripts/build.sh" "$top/build-package" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUILLSPOT_SANITIZE=OFF -DQUILLSPOT_BUILD_TESTS=OFF -DQUILLSPOT_BUILD_BENCH=OFF -UQUILLSPOT_UPDATE_BASE_URL
(cd "$top/build-package" && cpack -G DEB)
ls "$top"/build-package/quillspot_*.deb
