#!/usr/bin/env bash
# Installs the Debian packages a stage needs, and nothing more:
#   scripts/install-deps.sh            building the program and running it with its demo
#   scripts/install-deps.sh --package  that, and making its Debian package
#   scripts/install-deps.sh --tests    that, and everything the tests and fuzz targets add
# Quiet and quick when everything is already there. Only unversioned package names, so the
# list holds on Debian 12 and 13 alike.
set -euo pipefail

program=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-webengine-dev qt6-charts-dev
  # Qt reads WebP pictures, which the ad editor uploads, only with this plugin.
  qt6-image-formats-plugins
  libcurl4-openssl-dev libssl-dev
  xvfb xauth
  # The demo runs the server scripts on SQLite.
  php-cli php-sqlite3
)
package=(
  # The package's dependencies worked out (CPack reads the binaries with `file`).
  dpkg-dev file
)
tests=(
  libgtest-dev libgmock-dev
  python3 python3-xlib
  # The end-to-end tests run the server scripts on MariaDB too, and the page snippets.
  php-curl php-mysql mariadb-server
  # The https tests make their certificate authority with the openssl command.
  openssl
  p7zip-full
  # The fuzz targets: clang with libFuzzer; the style check of the C++ files.
  clang libclang-rt-dev clang-format
  # The package's checks.
  lintian desktop-file-utils appstream
)

case ${1:-} in
"") packages=("${program[@]}") ;;
--package) packages=("${program[@]}" "${package[@]}") ;;
--tests) packages=("${program[@]}" "${package[@]}" "${tests[@]}") ;;
*)
  echo "usage: $0 [--package | --tests]" >&2
  exit 2
  ;;
esac

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
    echo "  apt-get update && apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  sudo=(sudo)
fi

# apt's machine-readable status lines, mixed into its standard output, become one line per
# tenth of each phase (download, install); the rest of what apt says goes to the log, which
# is shown when the install fails.
show_progress() {
  local line kind percent text last_kind="" last_step=-1 step
  while IFS= read -r line; do
    case $line in
    dlstatus:* | pmstatus:*) ;;
    *)
      echo "$line" >>"$log"
      continue
      ;;
    esac
    IFS=: read -r kind _ percent text <<<"$line"
    step=$((${percent%%.*} / 10))
    if [ "$kind" != "$last_kind" ] || [ "$step" -gt "$last_step" ]; then
      echo "  $((step * 10))%: $text"
      last_kind=$kind last_step=$step
    fi
  done
}

log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "Installing ${#missing[@]} packages and what they need: ${missing[*]}"
echo "  updating the package lists"
"${sudo[@]}" apt-get update -qq
if ! "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  -o APT::Status-Fd=1 "${missing[@]}" 2>>"$log" | show_progress; then
  tail -n 30 "$log" >&2
  exit 1
fi
echo "  done"
