#!/usr/bin/env bash
# Packs this build as a Debian package and installs it with dpkg into a fresh root.
#
#   package-installs.sh BUILD checks  lintian, desktop-file-validate and appstreamcli pass the
#                                     package, and the installed tool runs
#   package-installs.sh BUILD start   the installed program, started as root from a folder
#                                     under /usr, keeps its files in the user's own XDG folder,
#                                     with that folder writable and read-only; it needs a user
#                                     namespace and exits 77 (skipped) where the kernel refuses
#                                     one, as in a chroot or many containers
set -euo pipefail
build=$1 mode=$2

if [ "$mode" = start ] && ! refusal=$(unshare -rm true 2>&1); then
  echo "Skipped"
  # The same words as the C++ tests that need one, so a summary counts them together.
  echo "needs user namespaces, which this machine refuses (${refusal##*: })"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" ||
  { cat "$work/cpack.log"; exit 1; }
deb=$(echo "$work"/out/quillspot_*_*.deb)
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The fresh root holds none of the libraries the package depends on: the host's serve.
dpkg --root="$root" --log=/dev/null --force-depends --force-not-root -i "$deb" >/dev/null

case $mode in
checks)
  lintian --fail-on error --tag-display-limit 0 "$deb"
  "$root/usr/bin/quillspot-brand" --help | grep -q "quillspot-brand check CONTAINER"
  test -f "$root/usr/share/quillspot/server/qlspactions.php"
  desktop-file-validate "$root"/usr/share/applications/*.desktop
  appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null
  ;;
start)
  # The root's /usr is mounted at /usr/local, in a user and mount namespace of the test's own,
  # where the test is root: root may write in a writable /usr/local/bin, and the program must
  # still not take it for its folder.
  for access in rw ro; do
    home=$work/home-$access
    mkdir -p "$home"
    # shellcheck disable=SC2016 # the inner script's own variables
    if ! unshare -rm bash -c '
      mount --bind "$1/usr" /usr/local && mount -o "remount,bind,$3" /usr/local
      HOME=$2 XDG_CONFIG_HOME= QT_QPA_PLATFORM=offscreen /usr/local/bin/quillspot >"$2/out.txt" 2>&1 &
      pid=$!
      start=$SECONDS
      until [ -d "$2/.config/quillspot" ]; do
        kill -0 $pid 2>/dev/null || { echo "the installed program ended at once:"; cat "$2/out.txt"; exit 1; }
        [ $((SECONDS - start)) -lt 10 ] || { echo "no folder under \$HOME/.config after 10 s"; exit 1; }
        sleep 0.1
      done
      # The program is up and has chosen its folder; a moment more for anything it writes.
      sleep 1
      kill -0 $pid || { echo "the installed program ended:"; cat "$2/out.txt"; exit 1; }
      kill $pid' _ "$root" "$home" "$access"; then
      echo "FAIL with /usr $access"
      exit 1
    fi
    if find "$root/usr" -newer "$deb" -type f | grep -q .; then
      echo "the program wrote under /usr ($access)"
      exit 1
    fi
  done
  ;;
esac
echo ok
