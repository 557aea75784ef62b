#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-webengine-dev
  libcurl4-openssl-dev libssl-dev
  libgtest-dev libgmock-dev
  xvfb xauth
  python3 python3-xlib
  # The server scripts: the demo runs them on SQLite, the end-to-end tests on MariaDB too.
  php-cli php-curl php-sqlite3 php-mysql mariadb-server
  p7zip-full
  # The fuzz targets: clang with libFuzzer.
  clang libclang-rt-14-dev
  # The Debian package: its dependencies worked out, and its checks.
  dpkg-dev lintian desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Run this script as root, or install them first (as root):" >&2
    echo "  apt-get install ${missing[*]}" >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
