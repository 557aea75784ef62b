#!/usr/bin/env bash
# Starts the program on a virtual X server, closes its window as the owner would, and expects
# the process to end by itself with status 0 (under the sanitizers: with no leak reported).
set -uo pipefail
program=$1
closer=$(dirname "$0")/close-window.py
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# The program keeps its files beside itself, so it runs from a folder of its own.
cp "$program" "$dir/quillspot"
unset QT_QPA_PLATFORM
# Under the sanitizers, whole stacks: the leaks of Qt and of the GL driver at start-up are then
# known by their functions' names (scripts/lsan.supp), not by where a short stack stops.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0
# /usr/bin/python3 is Debian's own, which has python3-xlib.
xvfb-run -a bash -c '
  "$1" >"$2/out.txt" 2>&1 &
  pid=$!
  /usr/bin/python3 "$3" || { kill -9 $pid; exit 2; }
  for _ in $(seq 200); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo "still running 20 s after the close"; exit 3; fi
  wait $pid' _ "$dir/quillspot" "$dir" "$closer"
status=$?
if [ "$status" -ne 0 ]; then
  echo "FAIL: status $status"
  cat "$dir/out.txt"
  exit 1
fi
echo ok
