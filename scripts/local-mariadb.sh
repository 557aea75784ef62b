#!/usr/bin/env bash
# A private MariaDB server on loopback for the end-to-end tests, the benchmarks and anyone
# who wants to try the scripts on MariaDB: its own data folder, socket and port, nothing of
# the machine's own server touched.
#
#   scripts/local-mariadb.sh start DIR PORT   make DIR, start the server on 127.0.0.1:PORT and
#                                             create the database "qlsp" for the user "qlsp"
#                                             with the password "qlsp"
#   scripts/local-mariadb.sh stop DIR         stop it (DIR may then be deleted)
set -euo pipefail
command=$1 dir=$2
socket=$dir/mariadb.sock
# --no-defaults must come first, before any other option.
client() { local tool=$1; shift; "$tool" --no-defaults --socket="$socket" -uroot "$@"; }

case $command in
start)
  port=$3
  user=$(id -un)
  mkdir -p "$dir"
  mariadb-install-db --no-defaults --datadir="$dir/data" --user="$user" \
    --auth-root-authentication-method=normal --skip-test-db >"$dir/install.log" 2>&1
  mariadbd --no-defaults --datadir="$dir/data" --socket="$socket" --port="$port" \
    --bind-address=127.0.0.1 --user="$user" --pid-file="$dir/mariadb.pid" \
    --skip-name-resolve --innodb-buffer-pool-size=32M </dev/null >"$dir/server.log" 2>&1 &
  for _ in $(seq 1 600); do
    if client mariadb-admin ping >/dev/null 2>&1; then
      client mariadb -e "CREATE DATABASE qlsp; CREATE USER 'qlsp'@'127.0.0.1' IDENTIFIED BY 'qlsp';
                         GRANT ALL ON qlsp.* TO 'qlsp'@'127.0.0.1';"
      exit 0
    fi
    sleep 0.1
  done
  echo "MariaDB did not start; see $dir/server.log" >&2
  exit 1
  ;;
stop)
  client mariadb-admin shutdown
  ;;
*)
  echo "usage: $0 start DIR PORT | stop DIR" >&2
  exit 2
  ;;
esac
