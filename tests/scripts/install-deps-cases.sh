#!/usr/bin/env bash
# What scripts/install-deps.sh does on machines faked with stubs on PATH (`id` says who the
# user is, `dpkg-query` says nothing is installed, there is no sudo, and `apt-get` records its
# arguments and answers as apt does):
# - a user who is neither root nor has sudo is told what to install, for each stage, instead
#   of getting "sudo: command not found";
# - root gets one line per tenth of each phase of apt's work, not apt's own chatter, and
#   apt's words when it fails.
set -uo pipefail
script=$1
stubs=$(mktemp -d)
trap 'rm -rf "$stubs"' EXIT
printf '#!/bin/sh\nexit 1\n' >"$stubs/dpkg-query"
cat >"$stubs/apt-get" <<'END'
#!/bin/sh
echo "$*" >>"$STUB_DIR/apt-args"
[ "$1" = update ] && exit 0
if [ -f "$STUB_DIR/apt-fails" ]; then
  echo "E: Unable to locate package qt6-base-dev" >&2
  exit 100
fi
cat <<'STATUS'
Reading package lists...
dlstatus:1:0.0000:Retrieving file 1 of 3
Get:1 http://deb.debian.org/debian trixie/main amd64 g++ amd64
dlstatus:2:50.0000:Retrieving file 2 of 3
dlstatus:3:99.0000:Retrieving file 3 of 3
pmstatus:g++:0.0000:Preparing g++
Setting up g++ (4:14.2.0-1) ...
pmstatus:g++:55.5000:Installing g++
pmstatus:g++:57.0000:Installing g++ again
pmstatus:g++:100.0000:Installed g++
STATUS
END
chmod +x "$stubs"/*
for tool in bash grep env mktemp rm tail cat; do ln -s "$(command -v $tool)" "$stubs/$tool"; done

failures=0
fail() {
  echo "FAIL ($1): $2"
  echo "$out"
  failures=$((failures + 1))
}
# run UID ARGS...: runs the script as that user; sets out and status.
run() {
  local uid=$1
  shift
  printf '#!/bin/sh\necho %s\n' "$uid" >"$stubs/id"
  chmod +x "$stubs/id"
  rm -f "$stubs/apt-args"
  out=$(STUB_DIR=$stubs PATH="$stubs" "$script" "$@" 2>&1)
  status=$?
}

# Without root or sudo: stage, words that must be in the advice, words that must not.
while IFS='|' read -r stage present absent; do
  run 1000 ${stage:+"$stage"}
  [ "$status" -eq 1 ] || fail "$stage" "exit status $status, expected 1"
  grep -q "Run this script as root" <<<"$out" || fail "$stage" "no advice to run as root"
  grep -q "apt-get update && apt-get install --no-install-recommends " <<<"$out" ||
    fail "$stage" "no apt-get update, or recommends not left out"
  for p in $present; do grep -qw -- "$p" <<<"$out" || fail "$stage" "$p not listed"; done
  for p in $absent; do grep -qw -- "$p" <<<"$out" && fail "$stage" "$p listed"; done
  # Versioned names are missing from one Debian release or the other.
  grep -Eq -- '-[0-9]+-dev' <<<"$out" && fail "$stage" "a versioned package"
  [ -e "$stubs/apt-args" ] && fail "$stage" "tried to install"
done <<'END'
|qt6-base-dev qt6-webengine-dev xvfb php-sqlite3|lintian libgtest-dev mariadb-server clang dpkg-dev
--package|qt6-base-dev dpkg-dev file|lintian libgtest-dev mariadb-server clang
--tests|qt6-base-dev dpkg-dev libgtest-dev mariadb-server clang libclang-rt-dev lintian appstream|
END

run 1000 --no-such-stage
[ "$status" -eq 2 ] || fail "wrong argument" "exit status $status, expected 2"

# As root: apt's progress, one line per tenth of each phase, and nothing else of what it says.
run 0
expected="  0%: Retrieving file 1 of 3
  50%: Retrieving file 2 of 3
  90%: Retrieving file 3 of 3
  0%: Preparing g++
  50%: Installing g++
  100%: Installed g++"
[ "$status" -eq 0 ] || fail "root" "exit status $status, expected 0"
grep -q "^  updating the package lists$" <<<"$out" || fail "root" "the update is not said"
[ "$(grep '%:' <<<"$out")" = "$expected" ] || fail "root" "not the progress lines expected"
grep -q "Get:1\|Setting up\|Reading package" <<<"$out" && fail "root" "apt's chatter shown"
grep -q "^install -y -q --no-install-recommends .*qt6-base-dev" "$stubs/apt-args" ||
  fail "root" "installed without --no-install-recommends: $(cat "$stubs/apt-args")"

# As root, when apt fails: its words are shown and the script fails.
touch "$stubs/apt-fails"
run 0
[ "$status" -ne 0 ] || fail "apt fails" "exit status 0"
grep -q "E: Unable to locate package qt6-base-dev" <<<"$out" || fail "apt fails" "apt's error not shown"

[ "$failures" -eq 0 ] && echo ok
