#!/usr/bin/env bash
# Starts the built program as a demo: the reference scripts from server/ on PHP's built-in
# web server, on a free loopback port, with an SQLite database of a few sample ads.
# Everything lives in BUILD_DIR/demo, with its own copy of the program: the program keeps its
# files beside its executable, so an owner's qlspsettings.dat in BUILD_DIR is never touched.
# The web server stops when the program ends.
#
#   scripts/demo.sh BUILD_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# Absolute, since the scripts' settings need the database's absolute path.
build=$(cd "$1" && pwd)
demo=$build/demo
site=$demo/site
# Outside the site folder, so the web server never hands the database out.
database=$demo/data/qlsp.sqlite
# The key that signs the program's posts, made once and kept, like the database.
keyfile=$demo/data/ownerkey

# Copied, not linked: the program finds its folder with links resolved. Written beside and
# renamed, so a demo still running from an earlier start keeps its own file.
copy_in() { cp "$1" "$2.new" && mv -f "$2.new" "$2"; }

mkdir -p "$site/Pictures" "$demo/data"
copy_in "$build/quillspot" "$demo/quillspot"
copy_in "$build/libquillspot_preview.so" "$demo/libquillspot_preview.so"
copy_in "$build/libquillspot_stats.so" "$demo/libquillspot_stats.so"
cp "$top"/server/*.php "$site/"
cp "$top"/server/demo/Pictures/* "$site/Pictures/"
php "$top/server/demo/settings.php" "$site" "$database" "$keyfile"
php "$top/server/demo/seed.php" "$site"

# A port the kernel has just found free; should another program take it first, the server
# fails to start and the loop below says so.
# shellcheck disable=SC2016 # PHP code, not shell
port=$(php -r '$s = stream_socket_server("tcp://127.0.0.1:0");
  echo parse_url("tcp://" . stream_socket_get_name($s, false), PHP_URL_PORT);')
php -S "127.0.0.1:$port" -t "$site" </dev/null >"$demo/server.log" 2>&1 &
server=$!
stop_server() {
  kill "$server" 2>/dev/null || return 0
  wait "$server" 2>/dev/null || true
}
trap stop_server EXIT
until (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do
  if ! kill -0 "$server" 2>/dev/null; then
    echo "The demo web server did not start; see $demo/server.log" >&2
    exit 1
  fi
  sleep 0.1
done

# The demo's own site settings, rewritten on each start since the port changes; for the
# owner only, since they hold the key.
(
  umask 077
  printf '[Settings]\r\nwebserver=%s\r\ndbhostname=%s\r\ndbdatabase=\r\ndbusername=\r\ndbpassword=\r\nadswidth=500px\r\nownerkey=%s\r\n' \
    "http://127.0.0.1:$port" "sqlite:$database" "$(cat "$keyfile")" >"$demo/qlspsettings.dat.new"
)
chmod 600 "$demo/qlspsettings.dat.new"
mv -f "$demo/qlspsettings.dat.new" "$demo/qlspsettings.dat"

echo "Demo server at http://127.0.0.1:$port (files in $demo); close the program or press Ctrl+C to stop."
launcher=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then launcher=(xvfb-run -a); fi
# The web engine reports its start and the graphics it finds (or misses) on standard error,
# which an owner takes for errors: what the program says goes to program.log, shown only
# when the program fails.
status=0
"${launcher[@]}" "$demo/quillspot" >"$demo/program.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  echo "The program ended with status $status; the end of $demo/program.log:" >&2
  tail -n 40 "$demo/program.log" >&2
  exit "$status"
fi
