#!/usr/bin/env bash
# A user who is not root, on a machine without sudo, is told what to do instead of getting
# "sudo: command not found". The machine is faked with stubs on PATH: `id` says the user is
# not root, `dpkg-query` says nothing is installed, and there is no sudo.
set -uo pipefail
script=$1
stubs=$(mktemp -d)
trap 'rm -rf "$stubs"' EXIT
printf '#!/bin/sh\necho 1000\n' >"$stubs/id"
printf '#!/bin/sh\nexit 1\n' >"$stubs/dpkg-query"
printf '#!/bin/sh\necho "apt-get must not run" >&2\nexit 99\n' >"$stubs/apt-get"
chmod +x "$stubs"/*
for tool in bash grep; do ln -s "$(command -v $tool)" "$stubs/$tool"; done

out=$(PATH="$stubs" "$script" 2>&1)
status=$?
fail() { echo "FAIL: $1"; echo "$out"; exit 1; }
[ "$status" -eq 1 ] || fail "exit status $status, expected 1"
grep -q "Run this script as root" <<<"$out" || fail "no advice to run as root"
grep -q "apt-get install .*qt6-base-dev" <<<"$out" || fail "the packages are not listed"
grep -q "must not run\|command not found" <<<"$out" && fail "tried to install"
echo "ok"
