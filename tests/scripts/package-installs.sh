#!/usr/bin/env bash
# Packs this build as a Debian package, checks it with lintian, installs it with dpkg into a
# fresh root, runs the installed tool, and starts the installed program with that root's /usr
# read-only: the program must then keep its files in the user's own XDG folder.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" ||
  { cat "$work/cpack.log"; exit 1; }
deb=$(echo "$work"/out/quillspot_*_*.deb)
lintian --fail-on error --tag-display-limit 0 "$deb"

root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The fresh root holds none of the libraries the package depends on: the host's serve.
dpkg --root="$root" --log=/dev/null --force-depends --force-not-root -i "$deb" >/dev/null
"$root/usr/bin/quillspot-brand" --help | grep -q "quillspot-brand check CONTAINER"
test -f "$root/usr/share/quillspot/server/qlspactions.php"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null

home=$work/home
mkdir -p "$home"
# A user namespace of its own lets the test mount the root's /usr read-only, as root too.
unshare -rm bash -c '
  mount --bind "$1/usr" "$1/usr" && mount -o remount,bind,ro "$1/usr"
  HOME=$2 XDG_CONFIG_HOME= QT_QPA_PLATFORM=offscreen "$1/usr/bin/quillspot" >"$2/out.txt" 2>&1 &
  pid=$!
  sleep 3
  kill -0 $pid || { echo "the installed program ended at once:"; cat "$2/out.txt"; exit 1; }
  kill $pid' _ "$root" "$home"
test -d "$home/.config/quillspot" || { echo "no folder under \$HOME/.config"; exit 1; }
if find "$root/usr" -newer "$deb" -type f -name 'qlsp*' | grep -q .; then
  echo "the program wrote under /usr"; exit 1
fi
echo ok
